#pragma once
// The ways a sheet can be saved, in the order of the save-format lists: row 0 is an uncompressed
// 24-bit BMP file, rows 1 to 3 are JPEG files of falling quality.

#include <cstdint>

inline constexpr int SaveFormatNameSlot = 30;
extern const char SaveFormats[][SaveFormatNameSlot];
extern const int32_t saveFormatCount;
// The JPEG quality of rows 1 to 3: element i - 1 serves row i.
extern const int32_t SaveQualities[];
