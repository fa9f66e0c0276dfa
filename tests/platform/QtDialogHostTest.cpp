// What the procedures rely on of the dialog host's controls, beyond what the dialogs show.

#include "platform/DialogHost.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

namespace {

using DialogHostTest = DialogTest;

TEST_F(DialogHostTest, SelectingOutsideTheListEmptiesTheEditPartAndTextIsCutToTheBuffer) {
    RunMainDialog("", [](Dialog* dialog) {
        for (int32_t outside : {-7, 4}) { // the save-format box lists 4 formats
            EXPECT_EQ(ComboSetCurSel(dialog, SaveFormatBox, 3), 3);
            EXPECT_EQ(ComboSetCurSel(dialog, SaveFormatBox, outside), CB_ERR);
            EXPECT_EQ(ComboGetCurSel(dialog, SaveFormatBox), CB_ERR);
            EXPECT_EQ(Text(dialog, SaveFormatBox), "");
        }
        char buffer[3];
        EXPECT_EQ(GetDlgItemText(dialog, SourceSizeLabel, buffer, sizeof buffer), 0);
        SetDlgItemText(dialog, MarginEdit, "123");
        EXPECT_EQ(GetDlgItemText(dialog, MarginEdit, buffer, sizeof buffer), 2);
        EXPECT_STREQ(buffer, "12");
        Click(dialog, ExitButton);
    });
}

// Each step of the Tab key as the control with the focus and the push button drawn as the default.
using Steps = std::vector<std::pair<int32_t, int32_t>>;

void ExpectTabSteps(Dialog* dialog, const Steps& steps) {
    for (const auto& [focused, drawnDefault] : steps) {
        EXPECT_EQ(FocusedId(dialog), focused);
        EXPECT_EQ(DefaultId(dialog), drawnDefault) << focused;
        Press(dialog, Qt::Key_Tab);
    }
}

// The push button with the focus is drawn as the default, being the one Enter presses; once the
// focus leaves the push buttons the template's default is drawn so again, also while disabled.
TEST_F(DialogHostTest, TheButtonEnterWouldPressIsDrawnAsTheDefault) {
    // From the first button with a tab stop: the exit button while there is no photograph to pack.
    RunMainDialog("", [](Dialog* dialog) {
        ExpectTabSteps(dialog, {{ExitButton, ExitButton},
                                {SizeBox, PackButton},
                                {OpenButton, OpenButton},
                                {NoMarginCheckBox, PackButton}});
        Click(dialog, ExitButton);
    });
    Expect([](Dialog* preview) {
        ExpectTabSteps(
            preview,
            {{SaveButton, SaveButton}, {CloseButton, CloseButton}, {SaveFormatBox, SaveButton}});
        Click(preview, CloseButton);
    });
    RunMainDialog(photo, [](Dialog* dialog) {
        ExpectTabSteps(dialog,
                       {{PackButton, PackButton}, {ExitButton, ExitButton}, {SizeBox, PackButton}});
        Type(dialog, SizeBox, "300 200");
        Click(dialog, PackButton);
        Click(dialog, ExitButton);
    });
}

} // namespace
