#pragma once
// Cut guides: one-pixel lines along the lines that extend every copy's edges, lying just outside
// the copies (the column before each copy's left edge and after its right edge, the row below
// each copy's bottom and above its top), across the whole sheet but only where no copy lies: in
// the gaps and the margins. A copy's own pixels never change, so where copies touch or overlap
// only the margins carry guides.

#include "pack/GridLayout.h"

#include <cstdint>

// The guides' grey on a background: black on the three light ones, white on the two dark ones.
uint8_t GuideLevel(uint32_t background);

// Paints the guides that cross stored row `row` into its pixels (3 bytes each, sheetWidth of
// them), which hold the composed row: the copies of a w x h source where the layout puts them.
// The row's padding bytes stay as they are.
void DrawRowGuides(uint8_t* pixels, int64_t row, int64_t sheetWidth, int64_t w, int64_t h,
                   const SheetLayout& layout, uint8_t level);
