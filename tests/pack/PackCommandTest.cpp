#include "pack/PackCommand.h"

#include "TestFiles.h"
#include "app/AppState.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseSheetSize, SeparatorsAsThePackCommandTakesThem) {
    struct {
        const char* text;
        int converted;
        int32_t width, height;
    } const cases[] = {
        {"2000 1700", 2, 2000, 1700},
        {"2000,1700", 2, 2000, 1700},
        {"2000, 1700", 2, 2000, 1700},
        {" 2000 ,1700 ", 2, 2000, 1700},
        {"2000*1700", 2, 2000, 1700},
        {"2000 1700 and more", 2, 2000, 1700},
        {"2000-1700", 2, 2000, -1700}, // the minus starts a second number
        {"2000x1700", 1, 2000, -1},    // x is no separator: only the width converts
        {"2000", 1, 2000, -1},
        {"x", 0, -1, -1},
        {"", 0, -1, -1},
        {"99999999999 5", 0, -1, -1}, // beyond 32 bits does not convert
        {"0 -3", 2, 0, -3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t width = -1, height = -1;
        EXPECT_EQ(ParseSheetSize(c.text, &width, &height), c.converted);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

TEST(ParseSheetSize, ReadsNoMoreThanTheBoxGives) {
    // The size box is read through a 50-byte buffer: 49 characters at most.
    std::string text = std::string(45, ' ') + "100 200";
    int32_t width = 0, height = 0;
    EXPECT_EQ(ParseSheetSize(text.c_str(), &width, &height), 1);
    EXPECT_EQ(width, 100);
    text = std::string(42, ' ') + "100 200";
    EXPECT_EQ(ParseSheetSize(text.c_str(), &width, &height), 2);
}

class BuildSheetTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        appState.sourceImage = MakePicture(600, 400);
        appState.sourceWidth = 600;
        appState.sourceHeight = 400;
        appState.sheetWidth = 2000;
        appState.sheetHeight = 1700;
    }
    void TearDown() override { ResetAppState(); }
};

TEST_F(BuildSheetTest, ComposesIntoTheState) {
    EXPECT_EQ(BuildSheet(), LayoutVerdict::Fits);
    EXPECT_NE(appState.sheetImage.block, nullptr);
    EXPECT_EQ(appState.sheetBytes, 10200040);
}

TEST_F(BuildSheetTest, RefusalsLeaveNoSheet) {
    appState.sheetWidth = 639;
    appState.marginOn = 1;
    appState.margin = 20;
    EXPECT_EQ(BuildSheet(), LayoutVerdict::SourceTooLarge);
    EXPECT_EQ(appState.sheetImage.block, nullptr);

    appState.sheetWidth = 30000;
    appState.sheetHeight = 30000; // 2.7 GB: its memory cannot be had
    EXPECT_EQ(BuildSheet(), LayoutVerdict::Fits);
    EXPECT_EQ(appState.sheetImage.block, nullptr);
}

TEST_F(BuildSheetTest, SheetWhoseMemoryCannotBeHadLeavesNoneAndPackingGoesOn) {
    // With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
    // formats allow) cannot be had; the next, of 2000 x 1700 (10 MB), is composed all the same.
    int status = RunInChild([] {
        LimitAddressSpace(64 << 20);
        appState.sheetWidth = 8000;
        appState.sheetHeight = 8000;
        if (BuildSheet() != LayoutVerdict::Fits || appState.sheetImage.block != nullptr)
            return 1;
        appState.sheetWidth = 2000;
        appState.sheetHeight = 1700;
        if (BuildSheet() != LayoutVerdict::Fits || appState.sheetImage.block == nullptr ||
            appState.sheetBytes != 10200040)
            return 2;
        return 0;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
