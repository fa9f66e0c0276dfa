#include "image/BmpFile.h"

#include "image/LittleEndian.h"
#include "image/SheetMetadata.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// _lread took 16-bit counts; the chunks stay below that.
constexpr int64_t ReadChunkBytes = 32767;
constexpr uint16_t BmpType = 0x4D42; // "BM"
constexpr uint32_t WrittenPixelOffset = BmpFileHeaderBytes + InfoHeaderBytes;
constexpr int XPelsPerMeterField = 24, YPelsPerMeterField = 28;
// The rows of one band of WriteBmpRows: about a megabyte, made and written while they are still in
// the core's cache. Larger writes fill the file's pages faster (a 10000 x 10000 sheet took 93 ms in
// bands of 256 KB, 80 in bands of 1 and 2 MB). Its place within a page follows the file, which has
// pages of PageBytes.
constexpr int64_t BandBytes = int64_t{1} << 20;
constexpr int64_t PageBytes = 4096;

void WriteFileHeader(uint8_t* fileHeader, int32_t blockBytes) {
    std::fill(fileHeader, fileHeader + BmpFileHeaderBytes, uint8_t{0});
    WriteLe16(fileHeader, BmpType);
    WriteLe32(fileHeader + 2, static_cast<uint32_t>(blockBytes) + BmpFileHeaderBytes);
    WriteLe32(fileHeader + 10, WrittenPixelOffset);
}

// Writes the rows band by band from a buffer of a band and a page, each band placed at the offset
// within a page it takes in the file (the headers in front of the first one), so that copying it
// into the file's pages never stalls on 4K aliasing.
bool WriteBands(NewFile& file, int32_t height, int64_t stride, const RowSource& rows,
                uint8_t* buffer, int64_t bandRows) {
    int64_t offset = WrittenPixelOffset; // of the band in the file
    for (int64_t first = 0; first < height; first += bandRows) {
        int64_t count = std::min(bandRows, height - first);
        uint8_t* place = buffer + offset % PageBytes;
        rows.fill(rows.context, static_cast<int32_t>(first), static_cast<int32_t>(count), place);
        uint8_t* from = first == 0 ? buffer : place; // the headers lie before the first band
        if (!WriteNewFile(file, from, place + count * stride - from))
            return false;
        offset += count * stride;
    }
    return true;
}

// The resolution in a 40-byte header's biXPelsPerMeter and biYPelsPerMeter.
void WriteResolution(uint8_t* infoHeader, int32_t dpi) {
    WriteLe32(infoHeader + XPelsPerMeterField, static_cast<uint32_t>(PixelsPerMetre(dpi)));
    WriteLe32(infoHeader + YPelsPerMeterField, static_cast<uint32_t>(PixelsPerMetre(dpi)));
}

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
    uint8_t fileHeader[BmpFileHeaderBytes];
    WriteFileHeader(fileHeader, image.blockBytes);
    if (image.block == nullptr)
        return 0;
    // The header as written: the block's own, with the resolution when one is given.
    int64_t headerBytes = dpi > 0 && image.blockBytes >= InfoHeaderBytes ? InfoHeaderBytes : 0;
    uint8_t header[InfoHeaderBytes];
    if (headerBytes != 0) {
        std::memcpy(header, image.block, InfoHeaderBytes);
        WriteResolution(header, dpi);
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

int WriteBmpRows(const char* fileName, int32_t width, int32_t height, const RowSource& rows,
                 int32_t dpi) {
    int64_t stride = RowStride(width), pixelBytes = stride * height;
    if (width < 1 || height < 1 || rows.fill == nullptr || InfoHeaderBytes + pixelBytes > INT32_MAX)
        return 0;
    int64_t bandRows = std::min<int64_t>(std::max<int64_t>(BandBytes / stride, 1), height);
    int64_t bufferBytes = (PageBytes + bandRows * stride + PageBytes - 1) / PageBytes * PageBytes;
    auto* buffer = static_cast<uint8_t*>(
        std::aligned_alloc(static_cast<size_t>(PageBytes), static_cast<size_t>(bufferBytes)));
    if (buffer == nullptr)
        return 0;
    WriteFileHeader(buffer, static_cast<int32_t>(InfoHeaderBytes + pixelBytes));
    WriteInfoHeader(buffer + BmpFileHeaderBytes, width, height, static_cast<uint32_t>(pixelBytes));
    if (dpi > 0)
        WriteResolution(buffer + BmpFileHeaderBytes, dpi);
    NewFile file;
    bool written = CreateNewFile(fileName, &file);
    if (written && !WriteBands(file, height, stride, rows, buffer, bandRows)) {
        DiscardNewFile(file);
        written = false;
    }
    std::free(buffer);
    return written && FinishNewFile(file) ? 1 : 0;
}
