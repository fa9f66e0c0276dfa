#include "pack/GridLayout.h"

#include <gtest/gtest.h>

inline bool operator==(const SheetLayout& a, const SheetLayout& b) {
    return a.columns == b.columns && a.rows == b.rows && a.originX == b.originX &&
           a.originY == b.originY && a.spacingX == b.spacingX && a.spacingY == b.spacingY;
}

inline std::ostream& operator<<(std::ostream& out, const SheetLayout& l) {
    return out << "{" << l.columns << ", " << l.rows << ", " << l.originX << ", " << l.originY
               << ", " << l.spacingX << ", " << l.spacingY << "}";
}

namespace {

struct LayoutCase {
    const char* what;
    int32_t W, H, w, h, D;
    uint32_t marginOn;
    int32_t margin;
    SheetLayout expected;
};

TEST(ComputeLayout, WorkedExamplesAndEdges) {
    const LayoutCase cases[] = {
        {"example 1", 2000, 1700, 600, 400, 50, 1, 20, {3, 3, 35, 110, 65, 140}},
        {"example 2, with remainders",
         2480,
         3508,
         1000,
         700,
         30,
         1,
         50,
         {2, 4, 166, 153, 146, 133}},
        {"example 3, no margin or distance",
         2000,
         1700,
         600,
         400,
         0,
         0,
         20,
         {3, 4, 50, 20, 50, 20}},
        {"distance beyond the sheet: one centred copy",
         2000,
         1700,
         600,
         400,
         5000,
         1,
         20,
         {1, 1, 700, 650, 5000 + 680, 5000 + 630}},
        {"negative distance: copies touch across, overlap down",
         2000,
         1700,
         600,
         400,
         -100,
         0,
         20,
         {3, 5, 100, 16, 0, -84}},
        {"source exactly as wide as the sheet less the margins",
         640,
         480,
         600,
         100,
         50,
         1,
         20,
         {1, 3, 20, 30, 50, 60}},
        {"margin off ignores a negative margin", 10, 10, 10, 10, 0, 0, -5, {1, 1, 0, 0, 0, 0}},
        {"1 x 1 source on a 1 x 1 sheet", 1, 1, 1, 1, 0, 0, 0, {1, 1, 0, 0, 0, 0}},
        {"smallest distance, 1 - min(w, h)", 100, 100, 10, 20, -9, 0, 0, {91, 8, 0, 0, -9, -9}},
        {"largest margin that fits", 2000, 1700, 600, 400, 0, 1, 650, {1, 1, 700, 650, 50, 0}},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.what);
        SheetLayout layout{};
        ASSERT_EQ(ComputeLayout(c.W, c.H, c.w, c.h, c.D, c.marginOn, c.margin, &layout),
                  LayoutVerdict::Fits);
        EXPECT_EQ(layout, c.expected);
    }
}

TEST(ComputeLayout, BordersSplitEvenlyWithTheRemainderAtRightAndTop) {
    // Example 2: right border 168 = 50 + 116 + 2, top border 156 = 50 + 103 + 3.
    SheetLayout l{};
    ASSERT_EQ(ComputeLayout(2480, 3508, 1000, 700, 30, 1, 50, &l), LayoutVerdict::Fits);
    EXPECT_EQ(2480 - (l.originX + (l.columns - 1) * (1000 + l.spacingX) + 1000), 168);
    EXPECT_EQ(3508 - (l.originY + (l.rows - 1) * (700 + l.spacingY) + 700), 156);
}

TEST(ComputeLayout, EveryCopyOnTheSheetAcrossManyInputs) {
    for (int32_t W : {1, 7, 100, 641, 2480})
        for (int32_t w : {1, 3, 50, 600})
            for (int32_t D : {-2, 0, 1, 13, 5000})
                for (int32_t margin : {0, 3, 20}) {
                    SheetLayout l{};
                    if (ComputeLayout(W, W, w, w, D, 1, margin, &l) != LayoutVerdict::Fits)
                        continue;
                    SCOPED_TRACE(testing::Message() << W << " " << w << " " << D << " " << margin);
                    EXPECT_GE(l.columns, 1);
                    EXPECT_GE(l.originX, margin);
                    EXPECT_GE(l.spacingX, D);
                    EXPECT_LE(l.originX + (l.columns - 1) * (w + l.spacingX) + w, W - margin);
                }
}

TEST(ComputeLayout, RefusesWhatDoesNotFit) {
    SheetLayout layout{};
    auto verdict = [&](int32_t W, int32_t H, int32_t w, int32_t h, int32_t D, uint32_t on,
                       int32_t margin) {
        return ComputeLayout(W, H, w, h, D, on, margin, &layout);
    };
    // One pixel too wide or too high for the sheet less the margins.
    EXPECT_EQ(verdict(640, 480, 601, 100, 50, 1, 20), LayoutVerdict::SourceTooLarge);
    EXPECT_EQ(verdict(640, 480, 100, 441, 50, 1, 20), LayoutVerdict::SourceTooLarge);
    EXPECT_EQ(verdict(2000, 1700, 600, 400, 0, 1, 651), LayoutVerdict::SourceTooLarge);
    // A sheet of 0 or less converts and is then too small for any source.
    EXPECT_EQ(verdict(0, 1700, 600, 400, 50, 0, 0), LayoutVerdict::SourceTooLarge);
    EXPECT_EQ(verdict(2000, -5, 600, 400, 50, 0, 0), LayoutVerdict::SourceTooLarge);
    EXPECT_EQ(verdict(INT32_MIN, INT32_MIN, 1, 1, 0, 1, 0), LayoutVerdict::SourceTooLarge);
}

TEST(ComputeLayout, NamesTheValueOutsideTheGridsLimits) {
    SheetLayout layout{};
    auto verdict = [&](int32_t W, int32_t w, int32_t h, int32_t D, uint32_t on, int32_t margin) {
        return ComputeLayout(W, W, w, h, D, on, margin, &layout);
    };
    EXPECT_EQ(verdict(2000, 600, 400, -399, 0, 0), LayoutVerdict::Fits);
    EXPECT_EQ(verdict(2000, 600, 400, -400, 0, 0), LayoutVerdict::BadDistance);
    EXPECT_EQ(verdict(2000, 600, 400, INT32_MIN, 0, 0), LayoutVerdict::BadDistance);
    // W - m2 + D must stay in 32 bits: the largest distance passes, one more is refused.
    EXPECT_EQ(verdict(INT32_MAX - 100, 1, 1, 100, 0, 0), LayoutVerdict::Fits);
    EXPECT_EQ(verdict(INT32_MAX - 100, 1, 1, 101, 0, 0), LayoutVerdict::BadDistance);
    EXPECT_EQ(verdict(2000, 600, 400, INT32_MAX, 1, 20), LayoutVerdict::BadDistance);

    EXPECT_EQ(verdict(2000, 600, 400, 50, 1, -1), LayoutVerdict::BadMargin);
    EXPECT_EQ(verdict(2000, 600, 400, 50, 1, INT32_MIN), LayoutVerdict::BadMargin);
    EXPECT_EQ(verdict(INT32_MAX, 1, 1, 0, 1, INT32_MAX / 2 + 1), LayoutVerdict::BadMargin);
    EXPECT_EQ(verdict(INT32_MAX, 1, 1, 0, 1, INT32_MAX / 2 - 1), LayoutVerdict::Fits);

    EXPECT_EQ(verdict(2000, 0, 400, 50, 1, 20), LayoutVerdict::BadSource);
    EXPECT_EQ(verdict(2000, 600, -400, 50, 1, 20), LayoutVerdict::BadSource);
}

TEST(ComputeLayout, LargestSheetsStayIn32Bits) {
    SheetLayout l{};
    ASSERT_EQ(ComputeLayout(INT32_MAX, INT32_MAX, 1, 1, 0, 0, 0, &l), LayoutVerdict::Fits);
    EXPECT_EQ(l.columns, INT32_MAX);
    EXPECT_EQ(l.spacingX, 0);
    ASSERT_EQ(ComputeLayout(INT32_MAX, INT32_MAX, INT32_MAX, 1, 0, 0, 0, &l), LayoutVerdict::Fits);
    EXPECT_EQ(l.columns, 1);
    EXPECT_EQ(l.originX, 0);
}

} // namespace
