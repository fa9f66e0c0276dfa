// The recent sizes in the size box of the real main dialog.

#include "app/RecentSizes.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

namespace {

using RecentSizesTest = DialogTest;

// The size box as the user sees it: its entries, then the selected index and the edit part.
std::string Shown(Dialog* dialog) {
    std::string shown;
    for (const std::string& entry : Entries(dialog, SizeBox))
        shown += entry + ", ";
    return shown + std::to_string(ComboGetCurSel(dialog, SizeBox)) + ": " + Text(dialog, SizeBox);
}

// Filled from the list at start; then a size is typed, packed and remembered.
TEST_F(RecentSizesTest, FilledAtStartAndThePackedSizeShownAsItsEntry) {
    const std::vector<RecentSize> none,
        two = {{900, 600}, {-5, 7}},
        ten = {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}};
    const struct {
        const std::vector<RecentSize>& listed;
        int32_t lastUsed;
        const char *atStart, *typed;
        int32_t width, height;
        const char* after;
    } cases[] = {
        {none, 0, "-1: ", "900,600", 900, 600, "900 600, 0: 900 600"},
        // Listed already: selected, not moved.
        {two, 0, "900 600, -5 7, 0: 900 600", "-5,7", -5, 7, "900 600, -5 7, 1: -5 7"},
        {two, 1, "900 600, -5 7, 1: -5 7", "900*601", 900, 601,
         "900 601, 900 600, -5 7, 0: 900 601"},
        {ten, 9, "1 1, 2 2, 3 3, 4 4, 5 5, 6 6, 7 7, 8 8, 9 9, 10 10, 9: 10 10", "11 11", 11, 11,
         "11 11, 1 1, 2 2, 3 3, 4 4, 5 5, 6 6, 7 7, 8 8, 9 9, 0: 11 11"},
    };
    for (const auto& c : cases) {
        std::copy(c.listed.begin(), c.listed.end(), appState.recentSizes.entries);
        appState.recentSizes.count = static_cast<int32_t>(c.listed.size());
        appState.recentSizes.lastUsed = c.lastUsed;
        RunMainDialog("", [&c](Dialog* dialog) {
            EXPECT_EQ(Shown(dialog), c.atStart);
            Type(dialog, SizeBox, c.typed);
            RememberSize(dialog, SizeBox, c.width, c.height);
            EXPECT_EQ(Shown(dialog), c.after);
            FillSizeBox(dialog, SizeBox); // the list and the index kept are the ones shown
            EXPECT_EQ(Shown(dialog), c.after);
            Click(dialog, ExitButton);
        });
    }
}

} // namespace
