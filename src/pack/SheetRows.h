#pragma once
// The pixel rules of a sheet, row by row: which copy of the source each stored row shows, if any,
// and what every byte of the row holds. The one home of those rules, for the sheet composed
// whole in memory and for the sheet written a band at a time straight to its file.

#include "pack/GridLayout.h"

#include <cstdint>

// What a sheet is made of, as values: the source's pixel rows, the sheet's size and grey, the
// grid. SheetCompositor's PlanSheet checks them and makes one.
struct SheetRecipe {
    const uint8_t* sourcePixels = nullptr; // bottom-up rows of RowStride(sourceWidth) bytes
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    uint8_t grey = 0; // for blue, green, red and the pad bytes alike
    SheetLayout layout{};
    bool cutGuides = false; // one-pixel lines to cut along, in the gaps and margins
    uint8_t guideLevel = 0; // their grey
};

// Writes stored rows firstRow to endRow - 1 of the sheet into rows, one after another at the
// sheet's row stride, every byte once: the source's pixels where a copy lands, the grey
// everywhere else, pad bytes included. Where copies overlap, the copy nearest the lower-left
// corner shows: the lowest row of copies, and in it the leftmost copy.
void ComposeSheetRows(const SheetRecipe& recipe, int64_t firstRow, int64_t endRow, uint8_t* rows);
