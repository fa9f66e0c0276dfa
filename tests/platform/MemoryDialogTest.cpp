#include "platform/MemoryDialog.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t Box = 1000, Edit = 1012;

TEST(MemoryDialog, ComboBoxKeepsItsEditPartInStepWithTheSelection) {
    MemoryDialog dialog;
    EXPECT_EQ(ComboAddString(&dialog, Box, "b"), 0);
    EXPECT_EQ(ComboAddString(&dialog, Box, "a"), 1); // appended, never sorted
    EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR); // adding selects nothing
    EXPECT_EQ(ComboSetCurSel(&dialog, Box, 1), 1);
    EXPECT_EQ(dialog.ItemText(Box), "a");

    // An index outside the list, on either side, leaves nothing selected and the edit part empty.
    for (int32_t outside : {2, -1, -7}) {
        ComboSetCurSel(&dialog, Box, 0);
        EXPECT_EQ(ComboSetCurSel(&dialog, Box, outside), CB_ERR);
        EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR);
        EXPECT_EQ(dialog.ItemText(Box), "");
    }

    // Typing, or setting the text, leaves no entry selected, even with an entry's very text.
    ComboSetCurSel(&dialog, Box, 0);
    dialog.TypeText(Box, "b");
    EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR);
    ComboSetCurSel(&dialog, Box, 0);
    SetDlgItemText(&dialog, Box, "800 600");
    EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR);

    // Emptying clears the list and the edit part.
    ComboResetContent(&dialog, Box);
    EXPECT_TRUE(dialog.ComboBoxEntries(Box).empty());
    EXPECT_EQ(dialog.ItemText(Box), "");
    EXPECT_EQ(ComboSetCurSel(&dialog, Box, 0), CB_ERR);
}

TEST(MemoryDialog, TextIsCutToTheBuffer) {
    MemoryDialog dialog;
    SetDlgItemText(&dialog, Edit, std::string(60, '9').c_str());
    char buffer[50];
    EXPECT_EQ(GetDlgItemText(&dialog, Edit, buffer, sizeof buffer), 49);
    EXPECT_EQ(std::string(buffer), std::string(49, '9'));
    EXPECT_EQ(GetDlgItemText(&dialog, 4242, buffer, sizeof buffer), 0); // no such control
    EXPECT_STREQ(buffer, "");
}

TEST(MemoryDialog, DisabledControlTakesNoInputAndNoFocus) {
    MemoryDialog dialog;
    SetDlgItemFocus(&dialog, Edit);
    EXPECT_EQ(dialog.FocusedItem(), Edit);
    EnableDlgItem(&dialog, Edit, false);
    EXPECT_EQ(dialog.FocusedItem(), std::nullopt);
    SetDlgItemFocus(&dialog, Edit);
    EXPECT_EQ(dialog.FocusedItem(), std::nullopt);
    SetDlgItemText(&dialog, Edit, "20"); // the program may still set its text
    dialog.TypeText(Edit, "x");
    EXPECT_EQ(dialog.ItemText(Edit), "20");
    EnableDlgItem(&dialog, Edit, true);
    SetDlgItemFocus(&dialog, Edit);
    EXPECT_EQ(dialog.FocusedItem(), Edit);

    CheckDlgButton(&dialog, 1005, true);
    EXPECT_TRUE(IsDlgButtonChecked(&dialog, 1005));
    CheckDlgButton(&dialog, 1005, false);
    EXPECT_FALSE(IsDlgButtonChecked(&dialog, 1005));
}

} // namespace
