#include "image/PngFile.h"

#include "platform/PngCodec.h"

#include <cstring>

PackedDib ReadPngPicture(const uint8_t* bytes, int64_t count, std::vector<uint8_t>* iccProfile) {
    iccProfile->clear();
    int32_t width = 0, height = 0;
    if (ReadPngSize(bytes, count, &width, &height) != 0)
        return {};
    // A header of a few bytes can claim 2^31 - 1 pixels each way: a block beyond the signed
    // 32-bit range is refused here, before the decoder allocates anything for its rows.
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    if (image.block == nullptr)
        return {};
    WriteInfoHeader(image.block, width, height, 0);
    uint8_t* rows = image.block + InfoHeaderBytes;
    if (DecodePngPicture(bytes, count, rows, stride, width, height, iccProfile) != 0) {
        ReleaseDib(image);
        iccProfile->clear();
        return {};
    }
    // Zeroed once the rows are whole, so that a stream claiming a large picture and holding
    // nothing touches no more of its block than it filled.
    int64_t pixelBytes = 3 * int64_t{width};
    for (int64_t row = 0; row < height; ++row)
        std::memset(rows + row * stride + pixelBytes, 0, static_cast<size_t>(stride - pixelBytes));
    return image;
}
