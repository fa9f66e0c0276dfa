#include "pack/SheetCompositor.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(ComposeSheet, MatchesThePixelByPixelReference) {
    const uint8_t greys[] = {255, 196, 128, 70, 0};
    const struct {
        int32_t W, H, w, h;
        SheetLayout layout;
        uint32_t background;
    } cases[] = {
        {10, 10, 4, 4, {3, 3, 0, 0, -1, -1}, 0}, // overlapping both ways
        {9, 7, 3, 5, {3, 2, 1, 0, -1, -3}, 1},
        {13, 11, 3, 2, {3, 4, 1, 2, 1, -1}, 2}, // overlapping down only
        {17, 9, 5, 2, {3, 3, 0, 1, 1, 1}, 3},   // apart, padded rows of 52 and 16 bytes
        {15, 4, 5, 4, {3, 1, 0, 0, 0, 0}, 4},   // touching, filling the sheet
        // Over 8 MB, so composed in two halves at once; the middle row lies inside copies.
        {2001, 1501, 301, 203, {6, 7, 5, 3, 30, 10}, 1},
        {2000, 1700, 600, 400, {3, 5, 100, 16, 0, -84}, 3}, // overlapping down, in halves
        {1202, 1, 601, 1, {2, 1, 0, 0, 0, 0}, 4}, // the source's pad byte between touching copies
        // Found by fuzzing: the one copy of a row and of a column is parted from its absent
        // neighbours by more than a third of the 32-bit range.
        {21, 927, 7, 5, {1, 1, 7, 461, 1073741830, 1073742284}, 0},
    };
    for (const auto& c : cases) {
        PackedDib source = MakePicture(c.w, c.h);
        PackedDib sheet = ComposeSheet(source, c.W, c.H, c.background, c.layout);
        EXPECT_TRUE(BlockBytes(sheet) ==
                    ReferenceSheet(source, c.W, c.H, greys[c.background], c.layout))
            << c.W << " x " << c.H;
        ReleaseDib(sheet);
        ReleaseDib(source);
    }
}

TEST(ComposeSheet, RefusesWhatTheGridIsNotDefinedFor) {
    PackedDib source = MakePicture(10, 10);
    // Copies off the sheet at each side, no copies, copies on top of each other.
    const SheetLayout offGrid[] = {{11, 1, 0, 0, 0, 0},  {1, 5, 0, 0, 0, 15}, {1, 1, -1, 0, 0, 0},
                                   {1, 1, 0, -1, 0, 0},  {0, 1, 0, 0, 0, 0},  {1, 0, 0, 0, 0, 0},
                                   {2, 1, 0, 0, -10, 0}, {1, 2, 0, 0, 0, -10}};
    for (const SheetLayout& layout : offGrid)
        EXPECT_EQ(ComposeSheet(source, 100, 100, 0, layout).block, nullptr) << &layout - offGrid;
    // 26,754 squared still fits in 2,147,483,647 bytes; 26,755 squared does not.
    for (auto [W, H] : {std::pair{26755, 26755}, {89478485, 10}, {INT32_MAX, 10}})
        EXPECT_EQ(ComposeSheet(source, W, H, 0, {1, 1, 0, 0, 0, 0}).block, nullptr) << W;
    EXPECT_EQ(ComposeSheet(source, 100, 100, 5, {1, 1, 0, 0, 0, 0}).block, nullptr);
    WriteLe16(source.block + 14, 32); // not 24 bits
    EXPECT_EQ(ComposeSheet(source, 100, 100, 0, {1, 1, 0, 0, 0, 0}).block, nullptr);
    ReleaseDib(source);
}

} // namespace
