#include "pack/PaperSizes.h"

#include <gtest/gtest.h>
#include <iterator>
#include <tuple>

namespace {

// Each side in inches times the resolution, rounded: millimetres over 25.4, inches as they are.
TEST(PaperPixels, EveryPaperBothWaysAt300And600Dpi) {
    const struct {
        const char* name;
        int32_t width300, height300, width600, height600;
    } papers[] = {
        {"A3", 3508, 4961, 7016, 9921},    {"A4", 2480, 3508, 4961, 7016},
        {"A5", 1748, 2480, 3496, 4961},    {"A6", 1240, 1748, 2480, 3496},
        {"9x13", 1063, 1535, 2126, 3071},  {"10x15", 1181, 1772, 2362, 3543},
        {"13x18", 1535, 2126, 3071, 4252}, {"15x21", 1772, 2480, 3543, 4961},
        {"20x30", 2362, 3543, 4724, 7087}, {"letter", 2550, 3300, 5100, 6600},
        {"legal", 2550, 4200, 5100, 8400}, {"4x6", 1200, 1800, 2400, 3600},
        {"5x7", 1500, 2100, 3000, 4200},   {"8x10", 2400, 3000, 4800, 6000},
    };
    ASSERT_EQ(std::size(papers), size_t{paperSizeCount});
    for (const auto& p : papers) {
        int row = FindPaperSize(p.name);
        ASSERT_GE(row, 0) << p.name;
        for (auto [dpi, width, height] :
             {std::tuple{300, p.width300, p.height300}, {600, p.width600, p.height600}}) {
            int32_t w = 0, h = 0;
            PaperPixels(PaperSizes[row], dpi, false, &w, &h);
            EXPECT_EQ(std::pair(w, h), std::pair(width, height)) << p.name << " " << dpi;
            PaperPixels(PaperSizes[row], dpi, true, &w, &h);
            EXPECT_EQ(std::pair(w, h), std::pair(height, width)) << p.name << " landscape";
        }
    }
}

TEST(PaperPixels, HalvesRoundUpAndTheLimitsStayInRange) {
    int32_t w = 0, h = 0;
    PaperPixels(PaperSizes[FindPaperSize("letter")], 1, false, &w, &h); // 8.5 x 11
    EXPECT_EQ(std::pair(w, h), std::pair(9, 11));
    PaperPixels(PaperSizes[FindPaperSize("A3")], 10000, true, &w, &h);
    EXPECT_EQ(std::pair(w, h), std::pair(165354, 116929));
}

TEST(FindPaperSize, AnyCaseButOnlyTheNames) {
    EXPECT_EQ(FindPaperSize("a4"), FindPaperSize("A4"));
    EXPECT_EQ(FindPaperSize("LETTER"), FindPaperSize("letter"));
    for (const char* name : {"A7", "10x15cm", "10 x 15", "", "A"})
        EXPECT_EQ(FindPaperSize(name), -1) << name;
}

} // namespace
