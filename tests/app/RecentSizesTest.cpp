#include "app/RecentSizes.h"

#include "app/AppState.h"
#include "platform/MemoryDialog.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t SizeBox = 1000;

using Texts = std::vector<std::string>;

void SetSizes(std::initializer_list<RecentSize> sizes, int32_t lastUsed) {
    RecentSizes& recent = appState.recentSizes;
    recent.count = 0;
    for (RecentSize size : sizes)
        recent.entries[recent.count++] = size;
    recent.lastUsed = lastUsed;
}

class RecentSizesTest : public testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    MemoryDialog dialog;
};

TEST_F(RecentSizesTest, FillingListsEverySizeAndSelectsTheLastUsed) {
    ComboAddString(&dialog, SizeBox, "stale");
    dialog.TypeText(SizeBox, "typed");
    SetSizes({{900, 600}, {-5, 7}, {700, 500}}, 1);
    FillSizeBox(&dialog, SizeBox);
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), (Texts{"900 600", "-5 7", "700 500"}));
    EXPECT_EQ(ComboGetCurSel(&dialog, SizeBox), 1);
    EXPECT_EQ(dialog.ItemText(SizeBox), "-5 7");
}

TEST_F(RecentSizesTest, FillingWithNoSizesLeavesTheBoxEmpty) {
    ComboAddString(&dialog, SizeBox, "stale");
    ComboSetCurSel(&dialog, SizeBox, 0);
    FillSizeBox(&dialog, SizeBox);
    EXPECT_TRUE(dialog.ComboBoxEntries(SizeBox).empty());
    EXPECT_EQ(ComboGetCurSel(&dialog, SizeBox), CB_ERR);
    EXPECT_EQ(dialog.ItemText(SizeBox), "");
}

TEST_F(RecentSizesTest, FirstSizeIntoAnEmptyList) {
    FillSizeBox(&dialog, SizeBox);
    RememberSize(&dialog, SizeBox, 900, 600);
    EXPECT_EQ(appState.recentSizes.count, 1);
    EXPECT_EQ(appState.recentSizes.lastUsed, 0);
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), Texts{"900 600"});
    EXPECT_EQ(ComboGetCurSel(&dialog, SizeBox), 0);
}

TEST_F(RecentSizesTest, ReusedSizeIsSelectedWhereItIs) {
    SetSizes({{900, 600}, {700, 500}}, 0);
    FillSizeBox(&dialog, SizeBox);
    ComboAddString(&dialog, SizeBox, "marker"); // shows whether the list is rebuilt
    dialog.TypeText(SizeBox, "700,500");
    RememberSize(&dialog, SizeBox, 700, 500);
    EXPECT_EQ(appState.recentSizes.count, 2);
    EXPECT_EQ(appState.recentSizes.lastUsed, 1);
    EXPECT_EQ(appState.recentSizes.entries[0].width, 900);
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), (Texts{"900 600", "700 500", "marker"}));
    EXPECT_EQ(ComboGetCurSel(&dialog, SizeBox), 1);
    EXPECT_EQ(dialog.ItemText(SizeBox), "700 500");
}

TEST_F(RecentSizesTest, NewSizeGoesFirstShownWithABlank) {
    SetSizes({{900, 600}, {700, 500}}, 1);
    FillSizeBox(&dialog, SizeBox);
    dialog.TypeText(SizeBox, "800,600");
    RememberSize(&dialog, SizeBox, 800, 600);
    EXPECT_EQ(appState.recentSizes.count, 3);
    EXPECT_EQ(appState.recentSizes.lastUsed, 0);
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), (Texts{"800 600", "900 600", "700 500"}));
    EXPECT_EQ(ComboGetCurSel(&dialog, SizeBox), 0);
    EXPECT_EQ(dialog.ItemText(SizeBox), "800 600");
}

TEST_F(RecentSizesTest, SameWidthOtherHeightIsANewSize) {
    SetSizes({{900, 600}}, 0);
    RememberSize(&dialog, SizeBox, 900, 601);
    RememberSize(&dialog, SizeBox, 901, 600);
    EXPECT_EQ(appState.recentSizes.count, 3);
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), (Texts{"901 600", "900 601", "900 600"}));
}

TEST_F(RecentSizesTest, FullListDropsItsTenth) {
    for (int32_t i = 10; i >= 1; --i)
        RememberSize(&dialog, SizeBox, i, i);
    ASSERT_EQ(appState.recentSizes.count, 10);
    RememberSize(&dialog, SizeBox, 11, 11);
    EXPECT_EQ(appState.recentSizes.count, 10);
    Texts expected = {"11 11"};
    for (int32_t i = 1; i <= 9; ++i)
        expected.push_back(std::to_string(i) + " " + std::to_string(i));
    EXPECT_EQ(dialog.ComboBoxEntries(SizeBox), expected); // "10 10" is gone
    EXPECT_EQ(dialog.ItemText(SizeBox), "11 11");
}

} // namespace
