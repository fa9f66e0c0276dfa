#pragma once
// The sheet: a new 24-bit picture of the sheet size, grey everywhere, with the source copied
// unscaled into every place of the grid.

#include "image/PackedDib.h"
#include "pack/GridLayout.h"
#include "pack/SheetRows.h"

#include <cstdint>

// The background levels offered to the user, in the order of the background list.
inline constexpr int backgroundLevelCount = 5;
inline constexpr int BackgroundNameSlot = 20;
extern const char BackgroundLevels[backgroundLevelCount][BackgroundNameSlot];
// The grey byte of each level, for blue, green, red and the row padding alike.
extern const uint8_t BackgroundGreys[backgroundLevelCount];

// Checks what a sheet of sheetWidth x sheetHeight is made of and gives its recipe: the source is
// a packable picture (IsPackablePicture), the background a row of BackgroundLevels, the layout
// one that ComputeLayout made for this source and sheet, and the sheet's block fits the formats'
// 32-bit sizes (at most 2,147,483,647 bytes). False for anything else. The recipe points into the
// source, which must outlive it. With cutGuides, every row gets its cut guides (CutGuides.h).
bool PlanSheet(const PackedDib& source, int32_t sheetWidth, int32_t sheetHeight,
               uint32_t background, const SheetLayout& layout, bool cutGuides, SheetRecipe* recipe);

// Composes a sheet of sheetWidth x sheetHeight on the grey of row `background`, with the source
// copied into every place of the layout. The source is a packable picture (IsPackablePicture) and
// the layout one that ComputeLayout made for it and this sheet; anything else is refused. None
// when the sheet's memory cannot be had, including a sheet too large for the formats' 32-bit
// sizes (more than 2,147,483,647 bytes). Where copies overlap, the copy nearest the lower-left
// corner shows. With cutGuides, each row gets its cut guides as it is composed (CutGuides.h).
PackedDib ComposeSheet(const PackedDib& source, int32_t sheetWidth, int32_t sheetHeight,
                       uint32_t background, const SheetLayout& layout, bool cutGuides = false);
