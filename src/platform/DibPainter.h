#pragma once
// Drawing 24-bit bottom-up rows (blue, green, red) scaled by nearest neighbour, as StretchDIBits
// does with COLORONCOLOR: rows and columns are dropped, never blended, and only the destination's
// pixels are computed, straight from the picture's rows, without a copy of the picture.

#include <QPainter>

#include <cstdint>

void DrawDibNearest(QPainter& painter, int32_t x, int32_t y, int32_t destinationWidth,
                    int32_t destinationHeight, const uint8_t* bits, int32_t width, int32_t height,
                    int64_t rowStride);
