// What the procedures rely on of the dialog host's controls, beyond what the dialogs show.

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

} // namespace
