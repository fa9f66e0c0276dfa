#include "pack/GridLayout.h"

#include <cstdint>
#include <initializer_list>

namespace {

bool Fits32(int64_t value) {
    return value >= INT32_MIN && value <= INT32_MAX;
}

// One direction of the grid: how many copies of size `size` fit in `sheet` less both margins
// (m2) with gaps of at least `distance`, the even share of the free space, and the gap.
struct Axis {
    int32_t count;
    int32_t origin;
    int32_t spacing;
};

Axis LayOut(int64_t sheet, int64_t size, int64_t distance, int64_t m2) {
    int64_t count = (sheet - m2 + distance) / (size + distance);
    int64_t freeSpace = sheet + distance - m2 - count * (size + distance);
    int64_t share = freeSpace / (count + 1);
    return {static_cast<int32_t>(count), static_cast<int32_t>(m2 / 2 + share),
            static_cast<int32_t>(distance + share)};
}

} // namespace

LayoutVerdict ComputeLayout(int32_t sheetWidth, int32_t sheetHeight, int32_t sourceWidth,
                            int32_t sourceHeight, int32_t distance, uint32_t marginOn,
                            int32_t margin, SheetLayout* layout) {
    // The arithmetic is done in 64 bits, so it cannot overflow here; what would not fit the
    // 32-bit range of the formats and the sheet is refused, naming the value that caused it.
    int64_t W = sheetWidth, H = sheetHeight, w = sourceWidth, h = sourceHeight, D = distance;
    if (w < 1 || h < 1)
        return LayoutVerdict::BadSource;
    if (marginOn == 1 && margin < 0)
        return LayoutVerdict::BadMargin;
    int64_t m2 = marginOn == 1 ? 2 * int64_t{margin} : 0;
    if (!Fits32(m2))
        return LayoutVerdict::BadMargin;
    // Equality fits: a source exactly as wide as the sheet less both margins.
    if (w + m2 > W || h + m2 > H)
        return LayoutVerdict::SourceTooLarge;
    // Below 1 - min(w, h) the count formulas would divide by zero or a negative number.
    if (w + D < 1 || h + D < 1)
        return LayoutVerdict::BadDistance;
    // W - m2 and H - m2 fit, being between w and W; adding D is the only way out of range, and
    // every later quantity, w + D and h + D too, is bounded by these sums. The larger of the two
    // addends carried the sum out: a distance wider than the room it spans, or else the sheet.
    for (int64_t room : {W - m2, H - m2}) {
        if (!Fits32(room + D))
            return D > room ? LayoutVerdict::BadDistance : LayoutVerdict::SheetTooLarge;
    }
    Axis across = LayOut(W, w, D, m2);
    Axis down = LayOut(H, h, D, m2);
    *layout = {across.count, down.count, across.origin, down.origin, across.spacing, down.spacing};
    return LayoutVerdict::Fits;
}
