#include "image/BmpFile.h"

#include "image/LittleEndian.h"
#include "image/SheetMetadata.h"

#include <cstdint>
#include <cstring>

namespace {

// _lread took 16-bit counts; the chunks stay below that.
constexpr int64_t ReadChunkBytes = 32767;
constexpr uint16_t BmpType = 0x4D42; // "BM"
constexpr uint32_t WrittenPixelOffset = BmpFileHeaderBytes + InfoHeaderBytes;
constexpr int XPelsPerMeterField = 24, YPelsPerMeterField = 28;

} // namespace

int ReadInChunks(FileHandle file, uint8_t* destination, int64_t count) {
    while (count != 0) {
        int64_t chunk = count <= ReadChunkBytes ? count : ReadChunkBytes;
        if (ReadFileBytes(file, destination, static_cast<int32_t>(chunk)) != chunk)
            return 0;
        count -= chunk;
        destination += chunk;
    }
    return 1;
}

PackedDib ReadBmp(FileHandle file) {
    uint8_t fileHeader[BmpFileHeaderBytes];
    if (ReadFileBytes(file, fileHeader, BmpFileHeaderBytes) != BmpFileHeaderBytes)
        return {};
    int64_t position = SeekFile(file, 0, SeekFromCurrent);
    int64_t fileBytes = SeekFile(file, 0, SeekFromEnd);
    if (position < 0 || fileBytes < 0 || SeekFile(file, position, SeekFromStart) != position)
        return {};
    PackedDib image = AllocateDib(fileBytes - BmpFileHeaderBytes);
    if (image.block == nullptr)
        return {};
    if (!ReadInChunks(file, image.block, image.blockBytes) ||
        !BlockHoldsPicture(image.block, image.blockBytes)) {
        ReleaseDib(image);
        return {};
    }
    TurnBottomUp(image);
    return image;
}

int WriteBmpFile(const char* fileName, const PackedDib& image, int32_t dpi) {
    uint8_t fileHeader[BmpFileHeaderBytes] = {};
    WriteLe16(fileHeader, BmpType);
    WriteLe32(fileHeader + 2, static_cast<uint32_t>(image.blockBytes) + BmpFileHeaderBytes);
    WriteLe32(fileHeader + 10, WrittenPixelOffset);
    if (image.block == nullptr)
        return 0;
    // The header as written: the block's own, with the resolution when one is given.
    int64_t headerBytes = dpi > 0 && image.blockBytes >= InfoHeaderBytes ? InfoHeaderBytes : 0;
    uint8_t header[InfoHeaderBytes];
    if (headerBytes != 0) {
        std::memcpy(header, image.block, InfoHeaderBytes);
        WriteLe32(header + XPelsPerMeterField, static_cast<uint32_t>(PixelsPerMetre(dpi)));
        WriteLe32(header + YPelsPerMeterField, static_cast<uint32_t>(PixelsPerMetre(dpi)));
    }
    NewFile file;
    if (!CreateNewFile(fileName, &file))
        return 0;
    if (!WriteNewFile(file, fileHeader, BmpFileHeaderBytes) ||
        !WriteNewFile(file, header, headerBytes) ||
        !WriteNewFile(file, image.block + headerBytes, image.blockBytes - headerBytes)) {
        DiscardNewFile(file);
        return 0;
    }
    return FinishNewFile(file) ? 1 : 0;
}
