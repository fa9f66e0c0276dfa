#include "app/RecentSizes.h"

#include "app/AppState.h"
#include "support/MemoryDialog.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t SizeBox = 1000;

// The size box as the user sees it: its entries, then the selected index and the edit part.
std::string Shown(const MemoryDialog& dialog) {
    std::string shown;
    for (const std::string& entry : dialog.ComboBoxEntries(SizeBox))
        shown += entry + ", ";
    return shown + std::to_string(dialog.ComboBoxSelection(SizeBox)) + ": " +
           dialog.ItemText(SizeBox);
}

// Sizes packed one after another into an empty list, each typed with a comma as the user may.
TEST(RecentSizes, PackedSizeIsSelectedAndANewOneGoesFirst) {
    std::vector<RecentSize> eleven;
    for (int32_t i = 1; i <= 11; ++i)
        eleven.push_back({i, i});
    const std::pair<std::vector<RecentSize>, std::string> cases[] = {
        {{{900, 600}}, "900 600, 0: 900 600"},
        {{{700, 500}, {900, 600}, {700, 500}}, "900 600, 700 500, 1: 700 500"}, // not moved
        {{{700, 500}, {900, 600}, {800, 600}}, "800 600, 900 600, 700 500, 0: 800 600"},
        {{{900, 600}, {900, 601}}, "900 601, 900 600, 0: 900 601"},
        {eleven, "11 11, 10 10, 9 9, 8 8, 7 7, 6 6, 5 5, 4 4, 3 3, 2 2, 0: 11 11"},
    };
    for (const auto& [sizes, shown] : cases) {
        ResetAppState();
        MemoryDialog dialog, refilled;
        FillSizeBox(&dialog, SizeBox);
        for (RecentSize size : sizes) {
            dialog.TypeText(SizeBox,
                            std::to_string(size.width) + "," + std::to_string(size.height));
            RememberSize(&dialog, SizeBox, size.width, size.height);
        }
        EXPECT_EQ(Shown(dialog), shown);
        FillSizeBox(&refilled, SizeBox); // the list kept is the one shown
        EXPECT_EQ(Shown(refilled), shown);
    }
}

TEST(RecentSizes, FillingReplacesTheBoxAndSelectsTheLastUsed) {
    ResetAppState();
    MemoryDialog dialog;
    for (RecentSize size : {RecentSize{700, 500}, {-5, 7}, {900, 600}})
        RememberSize(&dialog, SizeBox, size.width, size.height);
    appState.recentSizes.lastUsed = 1;
    dialog.TypeText(SizeBox, "typed");
    FillSizeBox(&dialog, SizeBox);
    EXPECT_EQ(Shown(dialog), "900 600, -5 7, 700 500, 1: -5 7");
    ResetAppState();
    FillSizeBox(&dialog, SizeBox);
    EXPECT_EQ(Shown(dialog), "-1: ");
}

} // namespace
