#include "image/PackedDib.h"

#include "image/LittleEndian.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

namespace {

// Header fields by byte offset. The 40-byte form (BITMAPINFOHEADER) is recognised by its size
// field alone; any other size is read as the 12-byte core form (BITMAPCOREHEADER), whose
// fields are 16 bits wide.
constexpr int SizeField = 0;
constexpr int InfoWidth = 4, InfoHeight = 8, InfoBitCount = 14, InfoCompression = 16;
constexpr int InfoSizeImage = 20, InfoClrUsed = 32;
constexpr int CoreWidth = 4, CoreHeight = 6, CoreBitCount = 10;
constexpr int32_t CoreHeaderBytes = 12;

bool IsInfoHeader(const uint8_t* image) {
    return ReadLe32(image + SizeField) == InfoHeaderBytes;
}

} // namespace

// Touching a new sheet's pages costs more than filling them; large blocks ask for huge pages,
// which need 2 MB alignment and whole 2 MB units. The request is a hint and may be ignored.
constexpr size_t HugePageBytes = size_t{2} << 20;

PackedDib AllocateDib(int64_t blockBytes) {
    if (blockBytes < InfoHeaderBytes || blockBytes > INT32_MAX)
        return {};
    auto bytes = static_cast<size_t>(blockBytes);
    if (bytes < HugePageBytes) {
        auto* block = static_cast<uint8_t*>(std::malloc(bytes));
        return block == nullptr ? PackedDib{} : PackedDib{block, static_cast<int32_t>(blockBytes)};
    }
    // A large block starts where it lies in a BMP file, BmpFileHeaderBytes into a page: the
    // kernel's copy into the file's pages then reads and writes at the same offset within a page.
    // Fourteen bytes apart, every load waits on the stores before it (4K aliasing), and a sheet is
    // written at half the speed.
    size_t rounded =
        (bytes + BmpFileHeaderBytes + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
    auto* start = static_cast<uint8_t*>(std::aligned_alloc(HugePageBytes, rounded));
    if (start == nullptr)
        return {};
    madvise(start, rounded, MADV_HUGEPAGE);
    return {start + BmpFileHeaderBytes, static_cast<int32_t>(blockBytes)};
}

void ReleaseDib(PackedDib& image) {
    // The heap aligns every block it gives for any type; only a large block, placed into its
    // first page, starts anywhere else.
    uint8_t* start = image.block;
    if (reinterpret_cast<uintptr_t>(start) % alignof(std::max_align_t) != 0)
        start -= BmpFileHeaderBytes;
    std::free(start);
    image = {};
}

void WriteInfoHeader(uint8_t* block, int32_t width, int32_t height, uint32_t sizeImage) {
    std::memset(block, 0, InfoHeaderBytes);
    WriteLe32(block + SizeField, InfoHeaderBytes);
    WriteLe32(block + InfoWidth, static_cast<uint32_t>(width));
    WriteLe32(block + InfoHeight, static_cast<uint32_t>(height));
    WriteLe16(block + 12, 1); // biPlanes
    WriteLe16(block + InfoBitCount, DibBitCount);
    WriteLe32(block + InfoCompression, UncompressedRgb);
    WriteLe32(block + InfoSizeImage, sizeImage);
}

uint16_t ImageBitCount(const uint8_t* image) {
    return ReadLe16(image + (IsInfoHeader(image) ? InfoBitCount : CoreBitCount));
}

uint32_t ImageCompression(const uint8_t* image) {
    return IsInfoHeader(image) ? ReadLe32(image + InfoCompression) : UncompressedRgb;
}

uint16_t ColorTableEntries(const uint8_t* image) {
    if (IsInfoHeader(image)) {
        uint32_t clrUsed = ReadLe32(image + InfoClrUsed);
        if (clrUsed != 0)
            return static_cast<uint16_t>(clrUsed); // the low 16 bits, as the format's readers do
    }
    switch (ImageBitCount(image)) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint16_t ColorTableBytes(const uint8_t* image) {
    // RGBQUAD entries after the 40-byte header, RGBTRIPLE after the core one; the product is
    // kept to 16 bits, so 16384 entries of 4 bytes count as none.
    int entryBytes = IsInfoHeader(image) ? 4 : 3;
    return static_cast<uint16_t>(ColorTableEntries(image) * entryBytes);
}

uint32_t PixelDataOffset(const uint8_t* image) {
    return ReadLe32(image + SizeField) + ColorTableBytes(image);
}

int32_t ImageWidth(const uint8_t* image) {
    if (IsInfoHeader(image))
        return static_cast<int32_t>(ReadLe32(image + InfoWidth));
    return ReadLe16(image + CoreWidth);
}

int32_t ImageHeight(const uint8_t* image) {
    if (IsInfoHeader(image))
        return static_cast<int32_t>(ReadLe32(image + InfoHeight));
    return ReadLe16(image + CoreHeight);
}

void GetImageGeometry(const uint8_t* image, uint32_t* offset, int32_t* width, int32_t* height) {
    *offset = PixelDataOffset(image);
    *width = ImageWidth(image);
    *height = ImageHeight(image);
}

bool BlockHoldsPicture(const uint8_t* block, int64_t blockBytes) {
    // The queries read up to byte 40 whatever the form, so every block must hold that much,
    // and the whole header its size field claims.
    if (blockBytes < InfoHeaderBytes || ReadLe32(block + SizeField) > blockBytes)
        return false;
    if (!IsInfoHeader(block) && ReadLe32(block + SizeField) < CoreHeaderBytes)
        return false;
    int64_t offset = PixelDataOffset(block);
    if (offset > blockBytes)
        return false;
    // Compressed pixels have no row layout to check; such pictures are never packed.
    if (ImageCompression(block) != UncompressedRgb)
        return true;
    int64_t width = ImageWidth(block);
    int64_t height = ImageHeight(block);
    if (width <= 0 || height == 0)
        return true; // nothing to read; refused later as a picture that cannot be packed
    int64_t rowBytes = (width * ImageBitCount(block) + 31) / 32 * 4;
    int64_t rows = height < 0 ? -height : height; // 64-bit, so INT32_MIN negates safely
    // Divided rather than multiplied: rows x rowBytes can pass even 64 bits.
    return rowBytes == 0 || rows <= (blockBytes - offset) / rowBytes;
}

bool IsPackablePicture(const PackedDib& image) {
    // A header of another size can still give a pixel data offset of 40 (a core form with a
    // small colour table), so the 40-byte form is asked for by name.
    const uint8_t* block = image.block;
    if (block == nullptr || !IsInfoHeader(block) || PixelDataOffset(block) != InfoHeaderBytes)
        return false;
    if (ImageBitCount(block) != DibBitCount || ImageCompression(block) != UncompressedRgb)
        return false;
    int64_t width = ImageWidth(block), height = ImageHeight(block);
    return width >= 1 && height >= 1 &&
           InfoHeaderBytes + RowStride(width) * height <= image.blockBytes;
}

void TurnBottomUp(PackedDib& image) {
    uint8_t* block = image.block;
    if (!IsInfoHeader(block) || ImageBitCount(block) != DibBitCount ||
        ImageCompression(block) != UncompressedRgb)
        return;
    int32_t width = ImageWidth(block), height = ImageHeight(block);
    if (width <= 0 || height >= 0 || height == INT32_MIN)
        return;
    int32_t rows = -height;
    int64_t stride = RowStride(width);
    uint8_t* pixels = block + PixelDataOffset(block);
    for (int64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(pixels + top * stride, pixels + (top + 1) * stride,
                         pixels + bottom * stride);
    WriteLe32(block + InfoHeight, static_cast<uint32_t>(rows));
}
