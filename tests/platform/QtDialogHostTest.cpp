// The dialog host's controls keep the classic dialog manager's promises.

#include "platform/DialogHost.h"
#include "support/DialogTestKit.h"

namespace {

constexpr int32_t Box = 10, List = 11, Edit = 12, Check = 13, Ok = IDOK;

const ControlTemplate Controls[] = {
    {Box, ControlClass::ComboBox, "", 5, 5, 80, 60, WS_CHILD | CBS_DROPDOWN | WS_TABSTOP},
    {List, ControlClass::ComboBox, "", 5, 25, 80, 60, WS_CHILD | CBS_DROPDOWNLIST | WS_TABSTOP},
    {Edit, ControlClass::Edit, "", 5, 45, 80, 14, WS_CHILD | WS_TABSTOP},
    {Check, ControlClass::Button, "Pole", 5, 65, 80, 10, WS_CHILD | BS_AUTOCHECKBOX | WS_TABSTOP},
    {Ok, ControlClass::Button, "OK", 100, 5, 50, 14, WS_CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP},
};
const DialogTemplate Template = {"TEST", "Test", 160,      90, WS_POPUP | WS_CAPTION,
                                 "",     8,      Controls, 5};

std::vector<uint16_t> commands;
std::function<void(Dialog*)> onOk;

intptr_t RecordingProc(Dialog* dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == WM_INITDIALOG) {
        for (const char* entry : {"800 600", "1024 768"})
            ComboAddString(dialog, Box, entry);
        ComboAddString(dialog, List, "jasne");
        ComboSetCurSel(dialog, List, 0);
        return 1;
    }
    if (message != WM_COMMAND)
        return 0;
    commands.push_back(static_cast<uint16_t>(wParam));
    if (wParam == IDCANCEL)
        EndDialog(dialog, 7);
    return 1;
}

class DialogHostTest : public DialogTest {
  protected:
    intptr_t Run(std::function<void(Dialog*)> script) {
        commands.clear();
        OnNextDialog(std::move(script));
        return DialogBoxParam(Template, nullptr, RecordingProc, 0);
    }
};

TEST_F(DialogHostTest, ComboBoxSelectionAndEditPart) {
    Run([](Dialog* dialog) {
        EXPECT_EQ(ComboGetCurSel(dialog, Box), CB_ERR);
        EXPECT_EQ(dialog->ItemText(Box), ""); // adding entries selects none
        ComboSetCurSel(dialog, Box, 1);
        EXPECT_EQ(dialog->ItemText(Box), "1024 768");
        EXPECT_EQ(ComboSetCurSel(dialog, Box, 2), CB_ERR); // outside the list
        EXPECT_EQ(ComboGetCurSel(dialog, Box), CB_ERR);
        EXPECT_EQ(dialog->ItemText(Box), "");
        ComboSetCurSel(dialog, Box, 0);
        TypeIntoItem(dialog, Box, "1024 768"); // typed, even equal to an entry, selects none
        EXPECT_EQ(ComboGetCurSel(dialog, Box), CB_ERR);
        PressKey(dialog, UserKey::Enter); // nor does Enter insert it
        EXPECT_EQ(ComboEntries(dialog, Box), (std::vector<std::string>{"800 600", "1024 768"}));
        PickComboEntry(dialog, Box, 0);
        EXPECT_EQ(ComboGetCurSel(dialog, Box), 0);
        ComboResetContent(dialog, Box);
        EXPECT_EQ(dialog->ItemText(Box), "");
        EXPECT_TRUE(ComboEntries(dialog, Box).empty());
        EXPECT_EQ(ComboGetCurSel(dialog, List), 0);
        PressKey(dialog, UserKey::Escape);
    });
}

TEST_F(DialogHostTest, KeysAndTheCloseBoxSendCommandsAndCloseNothingThemselves) {
    intptr_t result = Run([](Dialog* dialog) {
        SetDlgItemFocus(dialog, Edit);
        PressKey(dialog, UserKey::Enter);
        EnableDlgItem(dialog, Ok, false);
        SetDlgItemFocus(dialog, Edit);
        PressKey(dialog, UserKey::Enter); // the default button is disabled: nothing
        ClickItem(dialog, Ok);            // nor can a disabled button be clicked
        ClickItem(dialog, Check);
        EXPECT_TRUE(IsDlgButtonChecked(dialog, Check)); // toggled before its command
        commands.push_back(0);
        // IDCANCEL from the close box: the procedure ends the dialog.
        PressKey(dialog, UserKey::CloseBox);
    });
    EXPECT_EQ(result, 7);
    EXPECT_EQ(commands, (std::vector<uint16_t>{Ok, Check, 0, IDCANCEL}));
}

TEST_F(DialogHostTest, DisabledControlTakesNoFocusAndNoTyping) {
    Run([](Dialog* dialog) {
        SetDlgItemText(dialog, Edit, "12");
        EnableDlgItem(dialog, Edit, false);
        SetDlgItemFocus(dialog, Edit);
        EXPECT_NE(FocusedItem(dialog), Edit);
        TypeIntoItem(dialog, Edit, "34");
        EXPECT_EQ(dialog->ItemText(Edit), "12");
        char buffer[4];
        SetDlgItemText(dialog, Edit, "123456");
        EXPECT_EQ(GetDlgItemText(dialog, Edit, buffer, 4), 3); // cut to the buffer
        EXPECT_STREQ(buffer, "123");
        PressKey(dialog, UserKey::Escape);
    });
}

} // namespace
