#include "image/BmpConversion.h"

#include "image/BmpFile.h"
#include "image/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t CoreHeaderSize = 12;
// Header sizes of the BMP forms: the core header; the OS/2 2.x headers, of which the first 16 to
// 64 bytes are written (the fields past those written read as 0); the 40-byte header and its
// longer forms with masks (52, 56), colour space (108) and profile (124).
constexpr uint32_t HeaderSizes[] = {12, 16, 40, 52, 56, 64, 108, 124};
constexpr uint32_t Os2FullHeaderSize = 64, Os2ShortHeaderSize = 16;
constexpr uint32_t Rle8 = 1, Rle4 = 2, BitFields = 3, JpegPixels = 4, PngPixels = 5,
                   AlphaBitFields = 6;
constexpr int Red = 0, Green = 1, Blue = 2, Alpha = 3;
constexpr int64_t BgrBytes = 3;
constexpr uint8_t White = 0xFF;

// What the headers say about a file that is not of the plain form.
struct BmpForm {
    uint32_t headerSize = 0;
    int64_t width = 0, height = 0; // height negative for rows stored top-down
    uint32_t bitCount = 0, compression = 0;
    uint32_t masks[4] = {};  // red, green, blue, alpha; alpha 0 when there is none
    int64_t maskBytes = 0;   // masks stored after a 40-byte header
    int64_t pixelOffset = 0; // from the file's start
    int64_t tableStart = 0, tableEntries = 0, entryBytes = 0;
};

// The colour table as blue, green, red triples.
struct Palette {
    uint8_t colours[256][3] = {};
    int64_t count = 0;
};

// One mask's place and width, for a sample value of at most 32 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint64_t maximum = 0; // 0 for an empty mask
};

bool IsInfoForm(const BmpForm& form) {
    return form.headerSize != CoreHeaderSize;
}

bool IsOs2Form(const BmpForm& form) {
    return form.headerSize == Os2ShortHeaderSize || form.headerSize == Os2FullHeaderSize;
}

// A 40-byte header, 24 bits, uncompressed, no colour table: the form read as it always was.
bool IsPlainForm(const uint8_t* head, int64_t headBytes) {
    const uint8_t* header = head + BmpFileHeaderBytes;
    return headBytes >= BmpFileHeaderBytes + InfoHeaderBytes &&
           ReadLe32(header) == static_cast<uint32_t>(InfoHeaderBytes) &&
           ImageBitCount(header) == DibBitCount && ImageCompression(header) == UncompressedRgb &&
           PixelDataOffset(header) == static_cast<uint32_t>(InfoHeaderBytes);
}

// The plain form, exactly as before: the whole file after its file header becomes the block.
SourceVerdict ReadPlainForm(FileHandle file, const uint8_t* head, int64_t fileBytes,
                            PackedDib* image) {
    // Checked on the header before the file is read: a block too short for its rows, or one
    // beyond the signed 32-bit range, is refused without reading it.
    int64_t blockBytes = fileBytes - BmpFileHeaderBytes;
    if (blockBytes > INT32_MAX || !BlockHoldsPicture(head + BmpFileHeaderBytes, blockBytes) ||
        SeekFile(file, 0, SeekFromStart) != 0)
        return SourceVerdict::CannotOpen;
    *image = ReadBmp(file);
    return image->block != nullptr ? SourceVerdict::Loaded : SourceVerdict::CannotOpen;
}

uint32_t Field32(const uint8_t* header, uint32_t headerSize, uint32_t offset) {
    return offset + 4 <= headerSize ? ReadLe32(header + offset) : 0;
}

// The masks of a 16- or 32-bit picture: given after a 40-byte header, in the longer headers, or
// the defaults of uncompressed pixels (5-5-5, or 8-8-8 with the fourth byte unused). Alpha counts
// only where the masks are given and name it.
SourceVerdict ReadMasks(const uint8_t* head, int64_t fileBytes, BmpForm* form) {
    const uint8_t* header = head + BmpFileHeaderBytes;
    if (form->compression != BitFields && form->compression != AlphaBitFields) {
        static const uint32_t Masks16[] = {0x7C00, 0x03E0, 0x001F};
        static const uint32_t Masks32[] = {0xFF0000, 0x00FF00, 0x0000FF};
        if (form->bitCount == 16)
            std::copy_n(Masks16, 3, form->masks);
        else if (form->bitCount == 32)
            std::copy_n(Masks32, 3, form->masks);
        return SourceVerdict::Loaded;
    }
    int count = form->compression == AlphaBitFields ? 4 : 3;
    const uint8_t* masks = header + InfoHeaderBytes;
    if (form->headerSize == static_cast<uint32_t>(InfoHeaderBytes)) {
        form->maskBytes = 4 * count;
        if (BmpFileHeaderBytes + InfoHeaderBytes + form->maskBytes > fileBytes)
            return SourceVerdict::CannotOpen;
    } else if (form->headerSize >= InfoHeaderBytes + 16) {
        count = 4;
    } else if (form->headerSize < InfoHeaderBytes + 12) {
        return SourceVerdict::CannotOpen; // no room for the masks the compression names
    }
    for (int i = 0; i < count; ++i)
        form->masks[i] = ReadLe32(masks + 4 * i);
    return SourceVerdict::Loaded;
}

SourceVerdict ReadForm(const uint8_t* head, int64_t headBytes, int64_t fileBytes, BmpForm* form) {
    const uint8_t* header = head + BmpFileHeaderBytes;
    form->headerSize = ReadLe32(header);
    int64_t headerEnd = BmpFileHeaderBytes + int64_t{form->headerSize};
    if (headerEnd > fileBytes || headerEnd > headBytes)
        return SourceVerdict::CannotOpen;
    uint32_t planes = 0;
    if (!IsInfoForm(*form)) {
        form->width = ReadLe16(header + 4);
        form->height = ReadLe16(header + 6);
        planes = ReadLe16(header + 8);
        form->bitCount = ReadLe16(header + 10);
    } else {
        form->width = static_cast<int32_t>(ReadLe32(header + 4));
        form->height = static_cast<int32_t>(ReadLe32(header + 8));
        planes = ReadLe16(header + 12);
        form->bitCount = ReadLe16(header + 14);
        form->compression = Field32(header, form->headerSize, 16);
    }
    uint32_t c = form->compression;
    bool rle = c == Rle8 || c == Rle4;
    bool masked = c == BitFields || c == AlphaBitFields;
    // Pixels held in another format, or coded as only OS/2 codes them (compression 3 is
    // Huffman 1D there, 4 is RLE24), are sound files this program cannot pack.
    if (c == JpegPixels || c == PngPixels || (IsOs2Form(*form) && (c == 3 || c == 4)))
        return SourceVerdict::WrongFormat;
    if (planes != 1 || form->width < 1 || form->height == 0 || form->height == INT32_MIN)
        return SourceVerdict::CannotOpen;
    uint32_t bits = form->bitCount;
    bool knownBits =
        bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    if (!knownBits || (c != UncompressedRgb && !rle && !masked) || (c == Rle8 && bits != 8) ||
        (c == Rle4 && bits != 4) || (rle && form->height < 0) ||
        (masked && bits != 16 && bits != 32))
        return SourceVerdict::CannotOpen;
    if (bits >= 16)
        if (SourceVerdict masks = ReadMasks(head, fileBytes, form); masks != SourceVerdict::Loaded)
            return masks;
    // Converted forms honour the file header's pixel offset: writers put gaps between table and
    // pixels, tables shorter than the bit count implies, or a profile before the pixels, and the
    // offset is the one field that finds the pixels in all of them. (The plain form keeps taking
    // its pixels from right after its header, as it always has.)
    form->pixelOffset = ReadLe32(head + 10);
    form->tableStart = headerEnd + form->maskBytes;
    if (form->pixelOffset < form->tableStart || form->pixelOffset >= fileBytes)
        return SourceVerdict::CannotOpen;
    if (bits <= 8) {
        form->entryBytes = IsInfoForm(*form) ? 4 : 3;
        uint32_t clrUsed = IsInfoForm(*form) ? Field32(header, form->headerSize, 32) : 0;
        int64_t room = (form->pixelOffset - form->tableStart) / form->entryBytes;
        // A table whose size the header states must lie before the pixels; one it leaves to the
        // bit count may be shorter, as OS/2 writers make it, and ends where the pixels begin.
        if (clrUsed > room)
            return SourceVerdict::CannotOpen;
        int64_t declared = clrUsed != 0 ? clrUsed : int64_t{1} << bits;
        form->tableEntries = std::min({declared, int64_t{1} << bits, room});
        if (form->tableEntries == 0)
            return SourceVerdict::CannotOpen;
    }
    return SourceVerdict::Loaded;
}

bool ReadPalette(FileHandle file, const BmpForm& form, Palette* palette) {
    uint8_t table[256 * 4];
    auto bytes = static_cast<int32_t>(form.tableEntries * form.entryBytes);
    if (SeekFile(file, form.tableStart, SeekFromStart) != form.tableStart ||
        ReadFileBytes(file, table, bytes) != bytes)
        return false;
    for (int64_t i = 0; i < form.tableEntries; ++i)
        std::memcpy(palette->colours[i], table + i * form.entryBytes, BgrBytes);
    palette->count = form.tableEntries;
    return true;
}

// Masks must be runs of set bits that do not overlap and lie within the sample.
bool DescribeChannels(const BmpForm& form, Channel channels[4]) {
    uint64_t seen = 0;
    uint64_t sampleMask = form.bitCount == 16 ? 0xFFFF : 0xFFFFFFFF;
    for (int i = 0; i < 4; ++i) {
        uint32_t mask = form.masks[i];
        channels[i] = {mask, 0, 0};
        if (mask == 0 && i != Alpha)
            return false; // a colour with no bits at all
        if (mask == 0)
            continue;
        int shift = std::countr_zero(mask);
        int width = std::popcount(mask);
        if ((mask & ~sampleMask) != 0 || (seen & mask) != 0 ||
            uint64_t{mask} >> shift != (uint64_t{1} << width) - 1)
            return false;
        seen |= mask;
        channels[i] = {mask, shift, (uint64_t{1} << width) - 1};
    }
    return true;
}

uint32_t Level(uint32_t sample, const Channel& channel) {
    if (channel.maximum == 0)
        return 0;
    uint64_t value = (sample & channel.mask) >> channel.shift;
    return static_cast<uint32_t>((value * 255 + channel.maximum / 2) / channel.maximum);
}

uint8_t OntoWhite(uint32_t level, uint32_t alpha) {
    return static_cast<uint8_t>((level * alpha + White * (White - alpha) + 127) / 255);
}

// One stored row into blue, green, red; false for a colour index outside the table.
bool ConvertRow(const BmpForm& form, const Palette& palette, const Channel channels[4],
                const uint8_t* from, uint8_t* to) {
    uint32_t bits = form.bitCount;
    if (bits == 24) {
        std::memcpy(to, from, static_cast<size_t>(BgrBytes * form.width));
        return true;
    }
    for (int64_t x = 0; x < form.width; ++x, to += BgrBytes) {
        if (bits <= 8) {
            int64_t bit = x * bits;
            uint32_t index = from[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1);
            if (index >= palette.count)
                return false;
            std::memcpy(to, palette.colours[index], BgrBytes);
            continue;
        }
        uint32_t sample = bits == 16 ? ReadLe16(from + 2 * x) : ReadLe32(from + 4 * x);
        uint32_t alpha = channels[Alpha].maximum != 0 ? Level(sample, channels[Alpha]) : White;
        to[0] = OntoWhite(Level(sample, channels[Blue]), alpha);
        to[1] = OntoWhite(Level(sample, channels[Green]), alpha);
        to[2] = OntoWhite(Level(sample, channels[Red]), alpha);
    }
    return true;
}

SourceVerdict ConvertRows(FileHandle file, const BmpForm& form, const Palette& palette,
                          PackedDib& image) {
    Channel channels[4];
    if ((form.bitCount == 16 || form.bitCount == 32) && !DescribeChannels(form, channels))
        return SourceVerdict::CannotOpen;
    int64_t rows = form.height < 0 ? -form.height : form.height;
    int64_t storedStride = (form.width * form.bitCount + 31) / 32 * 4;
    int64_t stride = RowStride(form.width);
    auto* stored = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(storedStride)));
    if (stored == nullptr || SeekFile(file, form.pixelOffset, SeekFromStart) != form.pixelOffset) {
        std::free(stored);
        return SourceVerdict::CannotOpen;
    }
    SourceVerdict verdict = SourceVerdict::Loaded;
    for (int64_t row = 0; row < rows && verdict == SourceVerdict::Loaded; ++row) {
        int64_t into = form.height < 0 ? rows - 1 - row : row; // the block is bottom-up
        if (!ReadInChunks(file, stored, storedStride) ||
            !ConvertRow(form, palette, channels, stored,
                        image.block + InfoHeaderBytes + into * stride))
            verdict = SourceVerdict::CannotOpen;
    }
    std::free(stored);
    return verdict;
}

// RLE8 and RLE4 pixels: runs of one index (RLE4: two alternating), literal runs padded to 16
// bits, end of line, end of picture and moves. Pixels a move skips stay white, as transparency
// does. Only a stream that reaches its end-of-picture code without leaving the picture is whole.
bool DecodeRle(const BmpForm& form, const Palette& palette, const uint8_t* data, int64_t bytes,
               PackedDib& image) {
    bool rle4 = form.compression == Rle4;
    int64_t width = form.width, rows = form.height, stride = RowStride(width);
    int64_t x = 0, y = 0, at = 0;
    auto put = [&](int64_t count, auto indexOf) {
        if (y >= rows || count > width - x)
            return false;
        uint8_t* to = image.block + InfoHeaderBytes + y * stride + BgrBytes * x;
        for (int64_t i = 0; i < count; ++i, to += BgrBytes) {
            uint32_t index = indexOf(i);
            if (index >= palette.count)
                return false;
            std::memcpy(to, palette.colours[index], BgrBytes);
        }
        x += count;
        return true;
    };
    while (at + 2 <= bytes) {
        uint32_t first = data[at], second = data[at + 1];
        at += 2;
        if (first != 0) { // a run of one index, or of two alternating
            auto index = [&](int64_t i) {
                return rle4 ? (i % 2 == 0 ? second >> 4 : second & 15) : second;
            };
            if (!put(first, index))
                return false;
        } else if (second == 0) { // end of line
            x = 0;
            ++y;
        } else if (second == 1) { // end of picture
            return true;
        } else if (second == 2) { // move right and up
            if (at + 2 > bytes)
                return false;
            x += data[at];
            y += data[at + 1];
            at += 2;
            if (x > width || y > rows)
                return false;
        } else { // literal indices, padded to a whole number of 16-bit words
            int64_t literalBytes = rle4 ? (second + 1) / 2 : second;
            int64_t padded = (literalBytes + 1) / 2 * 2;
            if (at + padded > bytes)
                return false;
            const uint8_t* literal = data + at;
            auto index = [&](int64_t i) {
                return rle4 ? (i % 2 == 0 ? literal[i / 2] >> 4 : literal[i / 2] & 15)
                            : uint32_t{literal[i]};
            };
            if (!put(second, index))
                return false;
            at += padded;
        }
    }
    return false; // the data ended before its end-of-picture code
}

SourceVerdict DecodeRleFile(FileHandle file, int64_t fileBytes, const BmpForm& form,
                            const Palette& palette, PackedDib& image) {
    // Every pixel costs at most two bytes (a run of one), every row an end of line; more data
    // than that is never needed, however long the file.
    int64_t pixels = form.width * form.height;
    int64_t needed = 2 * pixels + 2 * form.height + 2;
    int64_t bytes = std::min(fileBytes - form.pixelOffset, needed);
    auto* data = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(bytes)));
    bool decoded = data != nullptr &&
                   SeekFile(file, form.pixelOffset, SeekFromStart) == form.pixelOffset &&
                   ReadInChunks(file, data, bytes) && DecodeRle(form, palette, data, bytes, image);
    std::free(data);
    return decoded ? SourceVerdict::Loaded : SourceVerdict::CannotOpen;
}

SourceVerdict ReadConvertedForm(FileHandle file, const uint8_t* head, int64_t headBytes,
                                int64_t fileBytes, PackedDib* image) {
    BmpForm form;
    if (SourceVerdict verdict = ReadForm(head, headBytes, fileBytes, &form);
        verdict != SourceVerdict::Loaded)
        return verdict;
    int64_t rows = form.height < 0 ? -form.height : form.height;
    int64_t stride = RowStride(form.width);
    // Every size is checked before anything is allocated: the new block must fit the signed
    // 32-bit range, and uncompressed rows must lie in the file.
    if (stride > INT32_MAX || rows > (INT32_MAX - InfoHeaderBytes) / stride)
        return SourceVerdict::CannotOpen;
    bool rle = form.compression == Rle8 || form.compression == Rle4;
    int64_t storedStride = (form.width * form.bitCount + 31) / 32 * 4;
    if (!rle && rows > (fileBytes - form.pixelOffset) / storedStride)
        return SourceVerdict::CannotOpen;
    Palette palette;
    if (form.bitCount <= 8 && !ReadPalette(file, form, &palette))
        return SourceVerdict::CannotOpen;
    PackedDib converted = AllocateDib(InfoHeaderBytes + stride * rows);
    if (converted.block == nullptr)
        return SourceVerdict::CannotOpen;
    WriteInfoHeader(converted.block, static_cast<int32_t>(form.width), static_cast<int32_t>(rows),
                    0);
    uint8_t* pixels = converted.block + InfoHeaderBytes;
    int64_t pixelBytes = BgrBytes * form.width;
    for (int64_t row = 0; row < rows; ++row) {
        std::memset(pixels + row * stride, White, static_cast<size_t>(pixelBytes));
        std::memset(pixels + row * stride + pixelBytes, 0,
                    static_cast<size_t>(stride - pixelBytes));
    }
    SourceVerdict verdict = rle ? DecodeRleFile(file, fileBytes, form, palette, converted)
                                : ConvertRows(file, form, palette, converted);
    if (verdict != SourceVerdict::Loaded)
        ReleaseDib(converted);
    *image = converted;
    return verdict;
}

} // namespace

bool IsBmpHead(const uint8_t* head, int64_t headBytes) {
    if (headBytes < BmpFileHeaderBytes + 4)
        return false;
    uint32_t headerSize = ReadLe32(head + BmpFileHeaderBytes);
    return std::find(std::begin(HeaderSizes), std::end(HeaderSizes), headerSize) !=
           std::end(HeaderSizes);
}

SourceVerdict ReadBmpSource(FileHandle file, const uint8_t* head, int64_t headBytes,
                            int64_t fileBytes, PackedDib* image) {
    *image = {};
    if (!IsBmpHead(head, headBytes))
        return SourceVerdict::CannotOpen;
    if (IsPlainForm(head, headBytes))
        return ReadPlainForm(file, head, fileBytes, image);
    return ReadConvertedForm(file, head, headBytes, fileBytes, image);
}
