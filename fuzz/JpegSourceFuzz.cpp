// A JPEG file through the JPEG reader, then through the source loading that tries it as JPEG
// first and as BMP after, as every file the user opens is tried. A picture that decodes is held
// to the reader's promises and, when small, written as JPEG again and read back.

#include "FuzzInput.h"

#include "image/JpegFile.h"
#include "image/SourceImage.h"

#include <cstring>

namespace {

// Pictures up to this many pixels are also encoded again; larger ones would only slow the run.
constexpr int64_t RoundTripPixels = 64 * 64;

// What ReadJpegFile promises of every picture it yields: a 40-byte header, 24 bits, the exact
// block of its rows, bottom-up (positive height) and zeroed pad bytes.
void CheckDecodedPicture(const PackedDib& image) {
    CheckDecodedBlock(image);
    uint32_t offset = 0;
    int32_t geometryWidth = 0, geometryHeight = 0;
    GetImageGeometry(image.block, &offset, &geometryWidth, &geometryHeight);
    FUZZ_CHECK(offset == InfoHeaderBytes);
}

void CheckRoundTrip(const PackedDib& image) {
    int32_t width = ImageWidth(image.block), height = ImageHeight(image.block);
    if (int64_t{width} * height > RoundTripPixels)
        return;
    std::string name = FuzzFolder() + "/again.jpg";
    FUZZ_CHECK(WriteJpegFile(name.c_str(), image, 75, {}) == 1);
    PackedDib again = ReadJpegFile(name.c_str());
    FUZZ_CHECK(again.block != nullptr);
    FUZZ_CHECK(ImageWidth(again.block) == width && ImageHeight(again.block) == height);
    ReleaseDib(again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = WriteFuzzFile("source.jpg", data, size);
    PackedDib image = ReadJpegFile(name.c_str());
    bool decoded = image.block != nullptr;
    if (decoded) {
        CheckDecodedPicture(image);
        CheckRoundTrip(image);
        ReleaseDib(image);
    }
    PackableSource loaded = LoadPackableSource(name.c_str(), {});
    if (decoded) // a decoded JPEG always passes the test
        FUZZ_CHECK(loaded.verdict == SourceVerdict::Loaded);
    if (loaded.verdict == SourceVerdict::Loaded)
        FUZZ_CHECK(IsPackablePicture(loaded.image));
    else
        FUZZ_CHECK(loaded.image.block == nullptr);
    ReleaseDib(loaded.image);
    return 0;
}
