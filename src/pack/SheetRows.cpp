#include "pack/SheetRows.h"

#include "image/PackedDib.h"
#include "pack/CutGuides.h"

#include <cstring>

namespace {

constexpr int64_t PixelBytes = 3;

// The row of copies that shows on stored row r, or -1 where none covers it, and the source row
// it shows there. Copies of row k cover the h rows from originY + k * pitch on; where rows of
// copies overlap (pitch < h) the lowest of them shows, the smallest k with k * pitch + h above r.
int64_t CopyRowAt(const SheetRecipe& recipe, int64_t r, int64_t* sourceRow) {
    const SheetLayout& layout = recipe.layout;
    int64_t h = recipe.sourceHeight, pitch = h + layout.spacingY;
    int64_t above = r - layout.originY;
    if (above < 0)
        return -1;
    int64_t k = above < h ? 0 : (above - h) / pitch + 1;
    if (k >= layout.rows || k * pitch > above)
        return -1; // above the last row of copies, or in the gap below row k
    *sourceRow = above - k * pitch;
    return k;
}

// One stored row through a row of copies: grey left of the first copy, each copy's pixels of the
// source row with grey in the gaps between copies, grey right of the last copy and in the pad
// bytes. Where copies overlap, each one adds only what lies right of the copies before it, so the
// leftmost shows.
void ComposeCopyRow(const SheetRecipe& recipe, const uint8_t* sourceRow, uint8_t* row,
                    int64_t stride) {
    const SheetLayout& layout = recipe.layout;
    // In 64 bits: a lone copy may stand apart from its absent neighbours by up to 2^31 pixels.
    int64_t copyBytes = PixelBytes * recipe.sourceWidth;
    int64_t pitchBytes = PixelBytes * (int64_t{recipe.sourceWidth} + layout.spacingX);
    uint8_t* written = row; // every byte before it holds its final value
    for (int64_t l = 0; l < layout.columns; ++l) {
        uint8_t* left = row + PixelBytes * layout.originX + l * pitchBytes;
        if (left > written) {
            std::memset(written, recipe.grey, static_cast<size_t>(left - written));
            written = left;
        }
        uint8_t* right = left + copyBytes;
        std::memcpy(written, sourceRow + (written - left), static_cast<size_t>(right - written));
        written = right;
    }
    std::memset(written, recipe.grey, static_cast<size_t>(row + stride - written));
}

} // namespace

void ComposeSheetRows(const SheetRecipe& recipe, int64_t firstRow, int64_t endRow, uint8_t* rows) {
    int64_t stride = RowStride(recipe.sheetWidth);
    int64_t sourceStride = RowStride(recipe.sourceWidth);
    for (int64_t r = firstRow; r < endRow; ++r) {
        uint8_t* row = rows + (r - firstRow) * stride;
        int64_t sourceRow = 0;
        if (CopyRowAt(recipe, r, &sourceRow) < 0)
            std::memset(row, recipe.grey, static_cast<size_t>(stride));
        else
            ComposeCopyRow(recipe, recipe.sourcePixels + sourceRow * sourceStride, row, stride);
        if (recipe.cutGuides)
            DrawRowGuides(row, r, recipe.sheetWidth, recipe.sourceWidth, recipe.sourceHeight,
                          recipe.layout, recipe.guideLevel);
    }
}
