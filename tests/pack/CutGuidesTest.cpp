#include "pack/CutGuides.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// Sheets drawn by hand, top row first: 'c' a copy's pixel, '#' a guide, '.' the background.
struct GuideCase {
    int32_t w, h;
    SheetLayout layout;
    std::vector<std::string> rows;
};

const GuideCase Cases[] = {
    // Apart: guides around every copy, across the gaps and margins to the sheet's edges.
    {2,
     2,
     {2, 2, 1, 1, 2, 1},
     {"#########", "#cc##cc#.", "#cc##cc#.", "#########", "#cc##cc#.", "#cc##cc#.", "#########"}},
    // Touching across and overlapping down: the guides between copies lie in the margins only.
    {2, 2, {2, 2, 1, 1, 0, -1}, {"#.##.#.", "#######", "#cccc##", "#cccc#.", "#cccc##", "#######"}},
    // Filling the sheet: every guide line lies off the sheet or inside a copy.
    {2, 2, {2, 1, 0, 0, 0, 0}, {"cccc", "cccc"}},
};

TEST(DrawRowGuides, OnlyWhereNoCopyLiesInTheGuidesGreyForEveryBackground) {
    const uint8_t greys[] = {255, 196, 128, 70, 0}, levels[] = {0, 0, 0, 255, 255};
    for (const GuideCase& c : Cases) {
        auto W = static_cast<int32_t>(c.rows[0].size()), H = static_cast<int32_t>(c.rows.size());
        PackedDib source = MakePicture(c.w, c.h);
        for (uint32_t background = 0; background < 5; ++background) {
            EXPECT_EQ(GuideLevel(background), levels[background]);
            Bytes plain = ReferenceSheet(source, W, H, greys[background], c.layout);
            Bytes sheet = plain, expected = plain;
            int64_t stride = RowStride(W);
            for (int32_t row = 0; row < H; ++row) {
                DrawRowGuides(sheet.data() + InfoHeaderBytes + row * stride, row, W, c.w, c.h,
                              c.layout, levels[background]);
                const std::string& drawn = c.rows[static_cast<size_t>(H - 1 - row)];
                for (int32_t x = 0; x < W; ++x) {
                    size_t at = static_cast<size_t>(InfoHeaderBytes + row * stride + 3 * x);
                    if (drawn[static_cast<size_t>(x)] == '#')
                        std::fill_n(expected.begin() + static_cast<ptrdiff_t>(at), 3,
                                    levels[background]);
                }
            }
            EXPECT_TRUE(sheet == expected) << W << " x " << H << " on " << background;
        }
        ReleaseDib(source);
    }
}

} // namespace
