#pragma once
// PNG streams assembled byte by byte for the tests, without any PNG library: chunks with their
// CRCs (zlib's checksums alone), the picture data in stored (uncompressed) deflate blocks, rows
// unfiltered, and Adam7 interlacing done here, so that every colour type and bit depth can be
// written as the format describes it.

#include "support/TestFiles.h"

#include <cstdint>
#include <functional>

// The sample of channel c (0 for grey or palette index, then G, B, A in order) of pixel (x, y),
// y counted from the top.
using PngSamples = std::function<uint32_t(int32_t x, int32_t y, int channel)>;

struct PngForm {
    int colourType =
        2; // 0 grey, 2 truecolour, 3 palette, 4 grey with alpha, 6 truecolour with alpha
    int bitDepth = 8;
    bool interlaced = false;
    Bytes palette;      // PLTE: red, green, blue triples
    Bytes transparency; // tRNS as the format stores it
    Bytes iccProfile;   // written as iCCP, deflated in stored blocks
};

Bytes MakePng(int32_t width, int32_t height, const PngForm& form, const PngSamples& samples);
