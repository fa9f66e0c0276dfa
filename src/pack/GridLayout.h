#pragma once
// The grid of copies on the sheet: how many unscaled copies of the source fit, and where each
// one stands, with the spare space spread evenly around and between them.

#include <cstdint>

// Copy (l, k), l counted from the left and k from the bottom, has its lower-left pixel at column
// originX + l * (w + spacingX) and stored row originY + k * (h + spacingY).
struct SheetLayout {
    int32_t columns;
    int32_t rows;
    int32_t originX;  // from the sheet's left edge
    int32_t originY;  // from the sheet's bottom edge (rows are stored bottom-up)
    int32_t spacingX; // clear pixels between neighbouring copies across
    int32_t spacingY; // clear pixels between neighbouring copies down
};

// What ComputeLayout makes of its inputs. Past Fits and SourceTooLarge, each verdict names the
// value that lies outside what the grid is defined for, so the caller can point at it. Where a
// sum of sheet size and distance leaves the 32-bit range, the larger of the two is named. A sheet
// too large to hold in memory is the compositor's refusal.
enum class LayoutVerdict {
    Fits,
    SourceTooLarge, // one copy does not fit between the margins
    SheetTooLarge,  // so large, with the distance, that the arithmetic leaves the 32-bit range
    BadDistance,    // -min(w, h) or less, or larger than the sheet and out of the 32-bit range
    BadMargin,      // negative with the margin on, or so large it leaves the 32-bit range
    BadSource,      // narrower or lower than 1 pixel
};

// Sheet W x H, source w x h, distance D, the margin and whether it applies.
LayoutVerdict ComputeLayout(int32_t sheetWidth, int32_t sheetHeight, int32_t sourceWidth,
                            int32_t sourceHeight, int32_t distance, uint32_t marginOn,
                            int32_t margin, SheetLayout* layout);
