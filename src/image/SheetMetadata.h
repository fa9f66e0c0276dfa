#pragma once
// What a sheet carries besides its pixels, taken over from the source photograph and written by
// the save formats that can hold it.

#include <cstdint>
#include <vector>

// A JPEG file carries an ICC profile in at most 255 APP2 segments of 65519 profile bytes each; a
// larger profile fits no JPEG sheet.
inline constexpr int64_t IccChunkBytes = 65519;
inline constexpr int64_t MaxIccProfileBytes = 255 * IccChunkBytes;

// The print resolutions a sheet may carry, in dots per inch, and the one that printing and PDF
// pages use for a sheet that carries none (the usual resolution of photo printers).
inline constexpr int32_t MinDpi = 1, MaxDpi = 10000;
inline constexpr int32_t DefaultPrintDpi = 300;

struct SheetMetadata {
    // The source's ICC colour profile, byte for byte; empty when it has none. JPEG sheets carry
    // it; BMP sheets stay 40-byte-header files without one.
    std::vector<uint8_t> iccProfile;
    // The print resolution in dots per inch, MinDpi to MaxDpi; 0 when none is set, and the
    // sheet's files then say nothing of their size on paper.
    int32_t dpi = 0;
};

// What a BMP header holds for the resolution: pixels per metre, dpi / 0.0254 rounded to the
// nearest whole number (an exact half never arises: the quotient's remainder is even).
inline int32_t PixelsPerMetre(int32_t dpi) {
    return static_cast<int32_t>((int64_t{dpi} * 10000 + 127) / 254);
}
