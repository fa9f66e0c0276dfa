#include "BenchPictures.h"

#include <algorithm>

PackedDib MakeGrainyPicture(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    if (image.block == nullptr)
        return {};
    WriteInfoHeader(image.block, width, height, 0);
    uint32_t seed = 2024;
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * stride;
        for (int64_t i = 0; i < stride; ++i) {
            seed = seed * 1103515245 + 12345;
            int64_t level = 40 + (i % 3) * 50 + y * 100 / height + (i / 3) * 60 / width +
                            static_cast<int>(seed >> 28) - 8;
            row[i] = static_cast<uint8_t>(std::clamp<int64_t>(level, 0, 255));
        }
    }
    return image;
}
