#pragma once
// Building a sheet from a source picture and the pack parameters: the grid is laid out and, when
// it fits, the sheet composed. The one place that gives the parameters their defaults.

#include "image/PackedDib.h"
#include "image/SheetMetadata.h"
#include "pack/GridLayout.h"

#include <cstdint>

// What the user chooses for a sheet, with the defaults a first start offers.
struct PackParameters {
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    int32_t distance = 50; // minimum pixels between neighbouring copies; may be negative
    int32_t margin = 20;   // pixels on each side of the sheet, while marginOn is 1
    uint32_t marginOn = 1;
    uint32_t background = 0; // row of BackgroundLevels
    bool cutGuides = false;  // one-pixel lines to cut along, in the gaps and margins
    bool turnCopies = false; // the source turned a quarter where that fits more copies
};

inline constexpr PackParameters DefaultPackParameters{};

// The layout's verdict and, after Fits, the sheet; no sheet after Fits means its memory could not
// be had. The caller owns the sheet.
struct BuiltSheet {
    LayoutVerdict verdict = LayoutVerdict::Fits;
    PackedDib sheet;
};

// How many copies of a w x h source the grid fits on the sheet as the source stands, and turned
// a quarter (h x w); 0 where the grid refuses it.
struct CopyCounts {
    int64_t upright;
    int64_t turned;
};
CopyCounts CountCopies(int32_t sourceWidth, int32_t sourceHeight, const PackParameters& parameters);

// Lays out the grid of the packable source on the sheet and composes the sheet when it fits.
// With turnCopies, a source that fits strictly more copies turned a quarter is packed turned
// clockwise (its top to the right); otherwise as it stands.
BuiltSheet BuildSheet(const PackedDib& source, const PackParameters& parameters);

// The layout's verdict and, after Fits, whether the sheet could be made (not when its block would
// pass the formats' 32-bit sizes) and whether it was written.
struct WrittenSheet {
    LayoutVerdict verdict = LayoutVerdict::Fits;
    bool made = false;
    bool written = false;
};

// Lays out the grid of the packable source on the sheet and, when it fits, writes the sheet
// straight to the file in the save format, composed a band at a time and never held whole, so the
// memory it takes does not grow with the sheet: the bytes BuildSheet and WriteInSaveFormat give.
WrittenSheet WriteSheet(const PackedDib& source, const PackParameters& parameters,
                        const char* fileName, int32_t saveMode, const SheetMetadata& metadata);
