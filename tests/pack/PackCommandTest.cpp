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
        {" 2000 ,1700 ", 2, 2000, 1700},
        {"2000*1700", 2, 2000, 1700},
        {"2000 1700 and more", 2, 2000, 1700},
        {"2000-1700", 2, 2000, -1700}, // the minus starts a second number
        {"2000x1700", 1, 2000, -1},    // x is no separator: only the width converts
        {"x", 0, -1, -1},
        {"", 0, -1, -1},
        {"99999999999 5", 0, -1, -1}, // beyond 32 bits does not convert
        // The size box is read through a 50-byte buffer: 49 characters at most.
        {"                                             100 200", 1, 100, -1},
        {"                                          100 200", 2, 100, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t width = -1, height = -1;
        EXPECT_EQ(ParseSheetSize(c.text, &width, &height), c.converted);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

TEST(BuildSheet, RefusalsAndSheetsWhoseMemoryCannotBeHadLeaveNoneAndPackingGoesOn) {
    ResetAppState();
    appState.sourceImage = MakePicture(600, 400);
    appState.sourceWidth = 600;
    appState.sourceHeight = 400;
    // With 64 MB of address space to spare, a sheet of 8000 x 8000 (192 MB, well within what the
    // formats allow) cannot be had, nor one of 2.7 GB; the next, of 2000 x 1700 (10 MB), is
    // composed all the same.
    int status = RunInChild([] {
        LimitAddressSpace(64 << 20);
        appState.sheetWidth = 639;
        appState.sheetHeight = 1700;
        appState.marginOn = 1;
        appState.margin = 20;
        if (BuildSheet() != LayoutVerdict::SourceTooLarge || appState.sheetImage.block != nullptr)
            return 1;
        for (int32_t side : {8000, 30000}) {
            appState.sheetWidth = appState.sheetHeight = side;
            if (BuildSheet() != LayoutVerdict::Fits || appState.sheetImage.block != nullptr)
                return 2;
        }
        appState.sheetWidth = 2000;
        appState.sheetHeight = 1700;
        if (BuildSheet() != LayoutVerdict::Fits || appState.sheetImage.block == nullptr ||
            appState.sheetBytes != 10200040)
            return 3;
        return 0;
    });
    EXPECT_EQ(status, 0);
    ResetAppState();
}

} // namespace
