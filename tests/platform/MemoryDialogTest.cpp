#include "support/MemoryDialog.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t Box = 1000, Edit = 1012;

TEST(MemoryDialog, ComboBoxKeepsItsEditPartInStepWithTheSelection) {
    MemoryDialog dialog;
    ComboAddString(&dialog, Box, "b");
    EXPECT_EQ(ComboAddString(&dialog, Box, "a"), 1); // appended, never sorted
    EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR); // adding selects nothing
    const struct {
        int32_t index, selected;
        const char* text;
    } selections[] = {{1, 1, "a"}, {-7, CB_ERR, ""}, {0, 0, "b"}, {2, CB_ERR, ""}, {1, 1, "a"}};
    for (const auto& s : selections) {
        EXPECT_EQ(ComboSetCurSel(&dialog, Box, s.index), s.selected);
        EXPECT_EQ(ComboGetCurSel(&dialog, Box), s.selected);
        EXPECT_EQ(dialog.ItemText(Box), s.text);
    }
    SetDlgItemText(&dialog, Box, "b"); // even an entry's very text leaves none selected
    EXPECT_EQ(ComboGetCurSel(&dialog, Box), CB_ERR);
    ComboResetContent(&dialog, Box);
    EXPECT_TRUE(dialog.ComboBoxEntries(Box).empty());
    EXPECT_EQ(dialog.ItemText(Box), "");
}

TEST(MemoryDialog, DisabledControlTakesNoInputOrFocusButItsTextIsSet) {
    MemoryDialog dialog;
    SetDlgItemFocus(&dialog, Edit);
    EnableDlgItem(&dialog, Edit, false); // losing the focus it had
    SetDlgItemFocus(&dialog, Edit);
    SetDlgItemText(&dialog, Edit, "20"); // the program may still set its text
    dialog.TypeText(Edit, "x");
    EXPECT_EQ(dialog.FocusedItem(), std::nullopt);
    char buffer[2]; // the text is cut to the buffer
    EXPECT_EQ(GetDlgItemText(&dialog, Edit, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "2");
    EnableDlgItem(&dialog, Edit, true);
    SetDlgItemFocus(&dialog, Edit);
    EXPECT_EQ(dialog.FocusedItem(), Edit);
}

} // namespace
