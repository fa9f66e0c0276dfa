#include "image/Orientation.h"

#include "image/ExifOrientation.h"

#include <cstring>

namespace {

constexpr int64_t PixelBytes = 3;

// Where the upright picture's pixel (x, y), counted from its top-left corner, lies in the stored
// one, also from the top-left: sx = sx0 + sxx * x + sxy * y, and sy likewise. Row i holds
// orientation i + 1; the constant terms count in stored widths and heights less one.
struct SourceMap {
    int64_t sxW, sxx, sxy; // sx0 is sxW x (stored width - 1)
    int64_t syH, syx, syy; // sy0 is syH x (stored height - 1)
    bool swapsSides;
};
constexpr SourceMap SourceMaps[OrientationCount] = {
    {0, 1, 0, 0, 0, 1, false},   // 1: as stored
    {1, -1, 0, 0, 0, 1, false},  // 2: mirrored
    {1, -1, 0, 1, 0, -1, false}, // 3: half round
    {0, 1, 0, 1, 0, -1, false},  // 4: mirrored top to bottom
    {0, 0, 1, 0, 1, 0, true},    // 5: mirrored along the main diagonal
    {0, 0, 1, 1, -1, 0, true},   // 6: a quarter turn clockwise
    {1, 0, -1, 1, -1, 0, true},  // 7: mirrored along the other diagonal
    {1, 0, -1, 0, 1, 0, true},   // 8: a quarter turn anticlockwise
};

constexpr int32_t QuarterClockwise = 6;

// The picture as the map of the orientation turns it, in a new block; none when its memory cannot
// be had.
PackedDib Turned(const PackedDib& image, const SourceMap& map) {
    int64_t width = ImageWidth(image.block), height = ImageHeight(image.block);
    int64_t uprightWidth = map.swapsSides ? height : width;
    int64_t uprightHeight = map.swapsSides ? width : height;
    int64_t stride = RowStride(width), uprightStride = RowStride(uprightWidth);
    PackedDib upright = AllocateDib(InfoHeaderBytes + uprightStride * uprightHeight);
    if (upright.block != nullptr) {
        WriteInfoHeader(upright.block, static_cast<int32_t>(uprightWidth),
                        static_cast<int32_t>(uprightHeight), 0);
        const uint8_t* stored = image.block + InfoHeaderBytes;
        // Both blocks are bottom-up: row y from the top lies at row height - 1 - y.
        for (int64_t y = 0; y < uprightHeight; ++y) {
            uint8_t* to = upright.block + InfoHeaderBytes + (uprightHeight - 1 - y) * uprightStride;
            std::memset(to + PixelBytes * uprightWidth, 0,
                        static_cast<size_t>(uprightStride - PixelBytes * uprightWidth));
            int64_t sx = map.sxW * (width - 1) + map.sxy * y;
            int64_t sy = map.syH * (height - 1) + map.syy * y;
            int64_t from = (height - 1 - sy) * stride + PixelBytes * sx;
            int64_t step = PixelBytes * map.sxx - stride * map.syx;
            for (int64_t x = 0; x < uprightWidth; ++x, to += PixelBytes, from += step)
                std::memcpy(to, stored + from, PixelBytes);
        }
    }
    return upright;
}

} // namespace

PackedDib TurnUpright(PackedDib image, int32_t orientation) {
    if (orientation <= UprightOrientation || orientation > OrientationCount)
        return image;
    PackedDib upright = Turned(image, SourceMaps[orientation - 1]);
    ReleaseDib(image);
    return upright;
}

PackedDib TurnedQuarterClockwise(const PackedDib& image) {
    return Turned(image, SourceMaps[QuarterClockwise - 1]);
}
