#pragma once
// JPEG streams for the tests, made by the reference JPEG library itself (not through the
// program's codec layer), in the forms real files come in: baseline, progressive, arithmetic
// coded, with restart markers, grey, and the inverted CMYK and YCCK of print software.

#include "support/TestFiles.h"

#include <cstdint>

enum class JpegInput {
    Bgr,  // 3 bytes a pixel, encoded as YCbCr with 4:2:0 chroma
    Grey, // 1 byte a pixel, one channel
    Cmyk, // 4 bytes a pixel, inverted ink (255 is no ink), stored as CMYK with an Adobe marker
    Ycck, // the same, stored as YCCK
};

enum class JpegCoding { Baseline, Progressive, Arithmetic, RestartMarkers };

// What else the stream is made with: TurboJPEG's files have quality 75 and the fast DCT; a
// restart interval in MCUs (RestartMarkers: 1); an ICC profile written by the library's own call.
struct JpegExtras {
    int quality = 95;
    bool fastDct = false;
    unsigned restartInterval = 0;
    Bytes iccProfile;
};

// Encodes width x height samples given top row first, without padding between rows.
Bytes EncodeJpeg(int32_t width, int32_t height, const Bytes& topDownSamples, JpegInput input,
                 JpegCoding coding = JpegCoding::Baseline, const JpegExtras& extras = {});
// Encodes a 24-bit picture in the form input names: grey takes its green bytes; ink holds the
// colour bytes as inverted cyan, magenta and yellow with no black, which makes the colour itself.
Bytes EncodePicture(const PackedDib& picture, JpegInput input = JpegInput::Bgr,
                    JpegCoding coding = JpegCoding::Baseline, const JpegExtras& extras = {});

// The picture's rows, top row first, 3 bytes a pixel without pad bytes.
Bytes TopDownBgr(const PackedDib& picture);

// Decodes a stream with the reference library into a bottom-up picture, none when the stream is
// too short to be one; says whether it holds three YCbCr channels with 4:2:0 chroma, and gives the
// ICC profile the library reads from it when asked (empty when it finds none).
PackedDib DecodeJpeg(const Bytes& stream, bool* ycbcr420, Bytes* iccProfile = nullptr);

// The largest difference between two pictures' pixel bytes, pad bytes left out; 256 when one is
// missing or their sizes differ.
int LargestPixelDifference(const PackedDib& one, const PackedDib& other);
