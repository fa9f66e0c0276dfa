// A BMP file through the source loading and its acceptance test and, when it is accepted, through
// a small layout and sheet. An accepted BMP file of the plain form (40-byte header, 24 bits, no
// colour table) must arrive as its bytes after the file header, its rows reversed when it was
// stored top-down; one of any other form converted into exactly its rows, pad bytes zeroed. The
// last byte of the file picks the distance, the margin and the background, so that the fuzzer
// varies them with the picture.

#include "FuzzInput.h"

#include "image/SourceImage.h"
#include "pack/SheetBuilding.h"
#include "pack/SheetCompositor.h"
#include "platform/PngCodec.h"

#include <cstring>

namespace {

constexpr size_t FileHeaderBytes = 14;

// The loaded block against the file: the same header but for a positive height, the same rows,
// in reverse order for a file stored top-down.
void CheckBlockIsTheFile(const PackedDib& source, const uint8_t* data, size_t size) {
    const uint8_t* file = data + FileHeaderBytes;
    FUZZ_CHECK(static_cast<size_t>(source.blockBytes) == size - FileHeaderBytes);
    int32_t storedHeight = ImageHeight(file);
    int64_t rows = ImageHeight(source.block), stride = RowStride(ImageWidth(source.block));
    FUZZ_CHECK(storedHeight == rows || storedHeight == -rows);
    FUZZ_CHECK(std::memcmp(source.block, file, 8) == 0);
    FUZZ_CHECK(std::memcmp(source.block + 12, file + 12, InfoHeaderBytes - 12) == 0);
    for (int64_t row = 0; row < rows; ++row) {
        int64_t fileRow = storedHeight < 0 ? rows - 1 - row : row;
        FUZZ_CHECK(std::memcmp(source.block + InfoHeaderBytes + row * stride,
                               file + InfoHeaderBytes + fileRow * stride,
                               static_cast<size_t>(stride)) == 0);
    }
    int64_t rest = source.blockBytes - InfoHeaderBytes - rows * stride; // bytes after the rows
    FUZZ_CHECK(std::memcmp(source.block + source.blockBytes - rest, file + source.blockBytes - rest,
                           static_cast<size_t>(rest)) == 0);
}

bool IsOtherKind(const uint8_t* data, size_t size) {
    return (data[0] == 0xFF && data[1] == 0xD8) ||
           HasPngSignature(data, static_cast<int64_t>(size));
}

// The plain form, read as the file's bytes: the only one the converter leaves alone.
bool IsPlainForm(const uint8_t* data, size_t size) {
    if (size < FileHeaderBytes + InfoHeaderBytes || IsOtherKind(data, size))
        return false; // too short, or taken for a JPEG or PNG stream
    const uint8_t* header = data + FileHeaderBytes;
    return ImageBitCount(header) == DibBitCount && ImageCompression(header) == UncompressedRgb &&
           PixelDataOffset(header) == static_cast<uint32_t>(InfoHeaderBytes) &&
           header[0] == InfoHeaderBytes && header[1] == 0 && header[2] == 0 && header[3] == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = WriteFuzzFile("source.bmp", data, size);
    PackableSource loaded = LoadPackableSource(name.c_str(), {});
    if (loaded.verdict != SourceVerdict::Loaded) {
        FUZZ_CHECK(loaded.image.block == nullptr);
        return 0;
    }
    PackedDib& source = loaded.image;
    FUZZ_CHECK(IsPackablePicture(source));
    int32_t width = ImageWidth(source.block), height = ImageHeight(source.block);
    FUZZ_CHECK(width >= 1 && height >= 1);
    if (IsPlainForm(data, size))
        CheckBlockIsTheFile(source, data, size);
    else if (!IsOtherKind(data, size)) // a JPEG or PNG stream is decoded instead
        CheckDecodedBlock(source);

    uint8_t knob = data[size - 1]; // a loaded picture is never empty
    PackParameters parameters;
    parameters.distance = (knob & 7) - 3; // -3 to 4: overlapping, touching and parted copies
    parameters.margin = (knob >> 3) & 3;
    parameters.marginOn = knob >> 7;
    parameters.background = knob % backgroundLevelCount;
    parameters.sheetWidth = 2 * width + 13;
    parameters.sheetHeight = 2 * height + 11;
    BuiltSheet built = BuildSheet(source, parameters);
    if (built.verdict == LayoutVerdict::Fits)
        CheckBuiltSheet(source, parameters, built.sheet);
    else
        FUZZ_CHECK(built.sheet.block == nullptr);
    ReleaseDib(built.sheet);
    ReleaseDib(source);
    return 0;
}
