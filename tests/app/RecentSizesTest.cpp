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
    std::vector<RecentSize> ten;
    for (int32_t i = 1; i <= 10; ++i)
        ten.push_back({i, i});
    const struct {
        std::vector<RecentSize> listed;
        int32_t lastUsed;
        std::string atStart;
        const char* typed;
        RecentSize packed;
        std::string after;
    } cases[] = {
        {{}, 0, "-1: ", "900,600", {900, 600}, "900 600, 0: 900 600"},
        {{{900, 600}, {700, 500}},
         0,
         "900 600, 700 500, 0: 900 600",
         "700,500",
         {700, 500},
         "900 600, 700 500, 1: 700 500"}, // listed already: selected, not moved
        {{{900, 600}, {-5, 7}},
         1,
         "900 600, -5 7, 1: -5 7",
         "900*601",
         {900, 601},
         "900 601, 900 600, -5 7, 0: 900 601"},
        {ten,
         9,
         "1 1, 2 2, 3 3, 4 4, 5 5, 6 6, 7 7, 8 8, 9 9, 10 10, 9: 10 10",
         "11 11",
         {11, 11},
         "11 11, 1 1, 2 2, 3 3, 4 4, 5 5, 6 6, 7 7, 8 8, 9 9, 0: 11 11"},
    };
    for (const auto& c : cases) {
        std::copy(c.listed.begin(), c.listed.end(), appState.recentSizes.entries);
        appState.recentSizes.count = static_cast<int32_t>(c.listed.size());
        appState.recentSizes.lastUsed = c.lastUsed;
        RunMainDialog("", [&c](Dialog* dialog) {
            EXPECT_EQ(Shown(dialog), c.atStart);
            Type(dialog, SizeBox, c.typed);
            RememberSize(dialog, SizeBox, c.packed.width, c.packed.height);
            EXPECT_EQ(Shown(dialog), c.after);
            FillSizeBox(dialog, SizeBox); // the list and the index kept are the ones shown
            EXPECT_EQ(Shown(dialog), c.after);
            Click(dialog, ExitButton);
        });
    }
}

} // namespace
