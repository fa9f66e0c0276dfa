#include "pack/GridLayout.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

using enum LayoutVerdict;
const int32_t Max = INT32_MAX;

// Sheet W x H, source w x h, distance, margin on, margin; the verdict and, when it fits, columns,
// rows, originX, originY, spacingX and spacingY.
struct Case {
    int32_t W, H, w, h, D;
    uint32_t marginOn;
    int32_t margin;
    LayoutVerdict verdict;
    SheetLayout layout;
};

TEST(ComputeLayout, WorkedExamplesEdgesAndRefusals) {
    const Case cases[] = {
        {2000, 1700, 600, 400, 50, 1, 20, Fits, {3, 3, 35, 110, 65, 140}},    // worked example 1
        {2480, 3508, 1000, 700, 30, 1, 50, Fits, {2, 4, 166, 153, 146, 133}}, // 2, with remainders
        {2000, 1700, 600, 400, 0, 0, 20, Fits, {3, 4, 50, 20, 50, 20}},       // 3
        {2000, 1700, 600, 400, 5000, 1, 20, Fits, {1, 1, 700, 650, 5680, 5630}},
        {2000, 1700, 600, 400, -100, 0, 20, Fits, {3, 5, 100, 16, 0, -84}}, // overlapping down
        {640, 480, 600, 100, 50, 1, 20, Fits, {1, 3, 20, 30, 50, 60}},      // w = W - 2 margin
        {10, 10, 10, 10, 0, 0, -5, Fits, {1, 1, 0, 0, 0, 0}},               // margin off
        {100, 100, 10, 20, -9, 0, 0, Fits, {91, 8, 0, 0, -9, -9}}, // distance 1 - min(w, h)
        {2000, 1700, 600, 400, 0, 1, 650, Fits, {1, 1, 700, 650, 50, 0}},
        {Max, Max, 1, 1, 0, 0, 0, Fits, {Max, Max, 0, 0, 0, 0}},
        {Max, Max, 1, 1, 0, 1, 10, Fits, {Max - 20, Max - 20, 10, 10, 0, 0}},
        // One pixel too wide or too high for the sheet less the margins.
        {640, 480, 601, 100, 50, 1, 20, SourceTooLarge, {}},
        {640, 480, 100, 441, 50, 1, 20, SourceTooLarge, {}},
        {2000, 1700, 600, 400, 0, 1, 651, SourceTooLarge, {}},
        // A sheet of 0 or less converts and is then too small for any source.
        {0, 1700, 600, 400, 50, 0, 0, SourceTooLarge, {}},
        {INT32_MIN, INT32_MIN, 1, 1, 0, 1, 0, SourceTooLarge, {}},
        // The distance goes down to 1 - min(w, h), whichever of the two is smaller.
        {2000, 2000, 600, 400, -400, 0, 0, BadDistance, {}},
        {2000, 2000, 400, 600, -400, 0, 0, BadDistance, {}},
        {2000, 2000, 400, 600, -399, 0, 0, Fits, {1601, 7, 0, 24, -399, -375}},
        // W - 2 margin + D and H - 2 margin + D must stay in 32 bits, each on its own; the
        // larger of the sheet less its margins and the distance is blamed, the sheet on a tie.
        {Max - 100, 2000, 1, 1, 101, 0, 0, SheetTooLarge, {}},
        {2000, Max - 100, 1, 1, 101, 0, 0, SheetTooLarge, {}},
        {2000, Max - 100, 1, 1, 100, 0, 0, Fits, {20, 21262214, 3, 0, 103, 100}},
        {Max, Max, 60, 40, 50, 1, 20, SheetTooLarge, {}}, // a pasted "2147483647 2147483647"
        {Max, 100, 1, 1, 50, 1, 24, SheetTooLarge, {}},
        {Max, 100, 1, 1, 50, 1, 25, Fits, {42107522, 1, 25, 49, 50, 74}},
        {1073741824, 100, 1, 1, 1073741824, 0, 0, SheetTooLarge, {}},
        {1073741823, 100, 1, 1, 1073741825, 0, 0, BadDistance, {}},
        {100, 1073741844, 1, 1, 1073741824, 1, 10, SheetTooLarge, {}},
        {100, 1073741844, 1, 1, 1073741825, 1, 10, BadDistance, {}},
        {2000, 2000, 600, 400, Max, 1, 20, BadDistance, {}},
        {2000, 2000, 600, 400, 50, 1, -1, BadMargin, {}},
        {Max, Max, 1, 1, 0, 1, Max / 2 + 1, BadMargin, {}},
        {Max, Max, 1, 1, 0, 1, Max / 2 - 1, Fits, {3, 3, Max / 2 - 1, Max / 2 - 1, 0, 0}},
        {2000, 2000, 0, 400, 50, 1, 20, BadSource, {}},
        {2000, 2000, 600, -400, 50, 1, 20, BadSource, {}}};
    auto fields = [](const SheetLayout& l) {
        return std::tuple(l.columns, l.rows, l.originX, l.originY, l.spacingX, l.spacingY);
    };
    for (const Case& c : cases) {
        SheetLayout layout{};
        EXPECT_EQ(ComputeLayout(c.W, c.H, c.w, c.h, c.D, c.marginOn, c.margin, &layout), c.verdict)
            << &c - cases;
        EXPECT_EQ(fields(layout), fields(c.layout)) << &c - cases; // nothing written on refusal
    }
}

} // namespace
