// A PNG file through the source loading: a picture that loads is a packable 24-bit block of
// exactly its rows with zeroed pad bytes, and its profile one a JPEG sheet can carry; one that
// does not leaves nothing behind.

#include "FuzzInput.h"

#include "image/SheetMetadata.h"
#include "image/SourceImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = WriteFuzzFile("source.png", data, size);
    PackableSource loaded = LoadPackableSource(name.c_str(), {});
    if (loaded.verdict != SourceVerdict::Loaded) {
        FUZZ_CHECK(loaded.image.block == nullptr && loaded.iccProfile.empty());
        return 0;
    }
    const PackedDib& image = loaded.image;
    FUZZ_CHECK(IsPackablePicture(image));
    int64_t width = ImageWidth(image.block), height = ImageHeight(image.block);
    int64_t stride = RowStride(width);
    FUZZ_CHECK(image.blockBytes == InfoHeaderBytes + stride * height);
    for (int64_t row = 0; row < height; ++row)
        for (int64_t pad = 3 * width; pad < stride; ++pad)
            FUZZ_CHECK(image.block[InfoHeaderBytes + row * stride + pad] == 0);
    FUZZ_CHECK(static_cast<int64_t>(loaded.iccProfile.size()) <= MaxIccProfileBytes);
    ReleaseDib(loaded.image);
    return 0;
}
