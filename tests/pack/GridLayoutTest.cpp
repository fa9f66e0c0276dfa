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

const int32_t Max = INT32_MAX;

TEST(ComputeLayout, WorkedExamplesAndEdges) {
    struct {
        const char* what;
        int32_t W, H, w, h, D;
        uint32_t marginOn;
        int32_t margin;
        SheetLayout expected;
    } const cases[] = {
        {"example 1", 2000, 1700, 600, 400, 50, 1, 20, {3, 3, 35, 110, 65, 140}},
        // Right border 168 = 50 + 116 + 2, top border 156 = 50 + 103 + 3.
        {"example 2", 2480, 3508, 1000, 700, 30, 1, 50, {2, 4, 166, 153, 146, 133}},
        {"example 3", 2000, 1700, 600, 400, 0, 0, 20, {3, 4, 50, 20, 50, 20}},
        {"D past sheet", 2000, 1700, 600, 400, 5000, 1, 20, {1, 1, 700, 650, 5680, 5630}},
        {"D < 0 overlaps", 2000, 1700, 600, 400, -100, 0, 20, {3, 5, 100, 16, 0, -84}},
        {"w = W - 2m", 640, 480, 600, 100, 50, 1, 20, {1, 3, 20, 30, 50, 60}},
        {"off, m < 0", 10, 10, 10, 10, 0, 0, -5, {1, 1, 0, 0, 0, 0}},
        {"1 x 1", 1, 1, 1, 1, 0, 0, 0, {1, 1, 0, 0, 0, 0}},
        {"D = 1 - min", 100, 100, 10, 20, -9, 0, 0, {91, 8, 0, 0, -9, -9}},
        {"largest m", 2000, 1700, 600, 400, 0, 1, 650, {1, 1, 700, 650, 50, 0}},
        {"largest count", Max, Max, 1, 1, 0, 0, 0, {Max, Max, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SheetLayout layout{};
        ASSERT_EQ(ComputeLayout(c.W, c.H, c.w, c.h, c.D, c.marginOn, c.margin, &layout),
                  LayoutVerdict::Fits);
        EXPECT_EQ(layout, c.expected);
    }
}

TEST(ComputeLayout, EveryCopyOnTheSheetAcrossManyInputs) {
    for (int32_t W : {1, 7, 100, 641, 2480, Max})
        for (int32_t w : {1, 3, 50, 600, Max})
            for (int32_t D : {-2, 0, 1, 13, 5000})
                for (int32_t margin : {0, 3, 20}) {
                    SheetLayout l{};
                    if (ComputeLayout(W, W, w, w, D, 1, margin, &l) != LayoutVerdict::Fits)
                        continue;
                    SCOPED_TRACE(testing::Message() << W << " " << w << " " << D << " " << margin);
                    EXPECT_GE(l.columns, 1);
                    EXPECT_GE(l.originX, margin);
                    EXPECT_GE(l.spacingX, D);
                    EXPECT_LE(l.originX + (l.columns - int64_t{1}) * (w + int64_t{l.spacingX}) + w,
                              W - margin);
                }
}

TEST(ComputeLayout, RefusalsNameWhatIsOutsideTheGrid) {
    using V = LayoutVerdict;
    struct {
        int32_t W, H, w, h, D;
        uint32_t marginOn;
        int32_t margin;
        LayoutVerdict verdict;
    } const cases[] = {
        // One pixel too wide or too high for the sheet less the margins.
        {640, 480, 601, 100, 50, 1, 20, V::SourceTooLarge},
        {640, 480, 100, 441, 50, 1, 20, V::SourceTooLarge},
        {2000, 1700, 600, 400, 0, 1, 651, V::SourceTooLarge},
        // A sheet of 0 or less converts and is then too small for any source.
        {0, 1700, 600, 400, 50, 0, 0, V::SourceTooLarge},
        {2000, -5, 600, 400, 50, 0, 0, V::SourceTooLarge},
        {INT32_MIN, INT32_MIN, 1, 1, 0, 1, 0, V::SourceTooLarge},
        {2000, 2000, 600, 400, -399, 0, 0, V::Fits},
        {2000, 2000, 600, 400, -400, 0, 0, V::BadDistance},
        {2000, 2000, 600, 400, INT32_MIN, 0, 0, V::BadDistance},
        // W - m2 + D must stay in 32 bits: the largest distance passes, one more is refused.
        {Max - 100, Max - 100, 1, 1, 100, 0, 0, V::Fits},
        {Max - 100, Max - 100, 1, 1, 101, 0, 0, V::BadDistance},
        {2000, 2000, 600, 400, Max, 1, 20, V::BadDistance},
        {2000, 2000, 600, 400, 50, 1, -1, V::BadMargin},
        {2000, 2000, 600, 400, 50, 1, INT32_MIN, V::BadMargin},
        {Max, Max, 1, 1, 0, 1, Max / 2 + 1, V::BadMargin},
        {Max, Max, 1, 1, 0, 1, Max / 2 - 1, V::Fits},
        {2000, 2000, 0, 400, 50, 1, 20, V::BadSource},
        {2000, 2000, 600, -400, 50, 1, 20, V::BadSource},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.W << " " << c.w << "x" << c.h << " D " << c.D << " m " << c.margin);
        SheetLayout layout{};
        EXPECT_EQ(ComputeLayout(c.W, c.H, c.w, c.h, c.D, c.marginOn, c.margin, &layout), c.verdict);
    }
}

} // namespace
