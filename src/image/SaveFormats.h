#pragma once
// The ways a sheet can be saved, in the order of the save-format lists: row 0 is an uncompressed
// 24-bit BMP file, rows 1 to 3 are JPEG files of falling quality.

#include "image/PackedDib.h"
#include "image/SheetMetadata.h"
#include "platform/RowSource.h"

#include <cstdint>

inline constexpr int SaveFormatNameSlot = 30;
extern const char SaveFormats[][SaveFormatNameSlot];
extern const int32_t saveFormatCount;
// The JPEG quality of rows 1 to 3: element i - 1 serves row i.
extern const int32_t SaveQualities[];

// The save format a new settings file starts with: JPEG at the first quality.
inline constexpr int32_t DefaultSaveMode = 1;

// Writes the sheet in the save format of the given row: row 0 as a BMP file, rows 1 to 3 as JPEG
// files at the row's quality, carrying what the metadata holds that each kind can (both the
// resolution, JPEG files the profile too). 1 on
// success, 0 on failure; a row outside the table (-1 when nothing is chosen) writes nothing and
// gives 0.
int WriteInSaveFormat(const char* fileName, const PackedDib& sheet, int32_t saveMode,
                      const SheetMetadata& metadata);

// The same for a 24-bit bottom-up picture of width x height whose rows the row source makes, a
// band at a time, never holding it whole: the same bytes as the picture held in memory gives.
int WriteRowsInSaveFormat(const char* fileName, int32_t width, int32_t height,
                          const RowSource& rows, int32_t saveMode, const SheetMetadata& metadata);
