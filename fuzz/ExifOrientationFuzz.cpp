// An APP1 payload through the Exif reader, which must stay inside it and give 1 to 8; the value
// then turns a small picture, which must keep its pixels and swap its sides for 5 to 8.

#include "FuzzInput.h"

#include "image/ExifOrientation.h"
#include "image/Orientation.h"
#include "image/PackedDib.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The reader gets its own copy of exactly the input's length, so that any read past it is
    // a report.
    auto* segment = static_cast<uint8_t*>(std::malloc(size == 0 ? 1 : size));
    std::memcpy(segment, data, size);
    int32_t orientation = ExifOrientation(segment, static_cast<int64_t>(size));
    std::free(segment);
    FUZZ_CHECK(orientation >= 1 && orientation <= OrientationCount);

    constexpr int32_t Width = 5, Height = 3;
    PackedDib picture = MakeFuzzPicture(Width, Height);
    int64_t sum = 0;
    for (int32_t y = 0; y < Height; ++y)
        for (int32_t x = 0; x < 3 * Width; ++x)
            sum += picture.block[InfoHeaderBytes + y * RowStride(Width) + x];
    PackedDib upright = TurnUpright(picture, orientation);
    FUZZ_CHECK(upright.block != nullptr && IsPackablePicture(upright));
    bool sideways = orientation >= 5;
    int32_t width = ImageWidth(upright.block), height = ImageHeight(upright.block);
    FUZZ_CHECK(width == (sideways ? Height : Width) && height == (sideways ? Width : Height));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < 3 * width; ++x)
            sum -= upright.block[InfoHeaderBytes + y * RowStride(width) + x];
    FUZZ_CHECK(sum == 0); // the same pixels, moved
    ReleaseDib(upright);
    return 0;
}
