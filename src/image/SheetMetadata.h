#pragma once
// What a sheet carries besides its pixels, taken over from the source photograph and written by
// the save formats that can hold it.

#include <cstdint>
#include <vector>

// A JPEG file carries an ICC profile in at most 255 APP2 segments of 65519 profile bytes each; a
// larger profile fits no JPEG sheet.
inline constexpr int64_t IccChunkBytes = 65519;
inline constexpr int64_t MaxIccProfileBytes = 255 * IccChunkBytes;

struct SheetMetadata {
    // The source's ICC colour profile, byte for byte; empty when it has none. JPEG sheets carry
    // it; BMP sheets stay 40-byte-header files without one.
    std::vector<uint8_t> iccProfile;
};
