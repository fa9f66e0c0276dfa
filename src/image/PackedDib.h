#pragma once
// A picture in memory: one heap block laid out as a BMP file without its 14-byte file header,
// that is a header, an optional colour table and the pixel rows. Every picture the program holds,
// the source photograph as well as the composed sheet, is one of these.

#include <cstdint>

// The header form the program builds and the one its consumers accept.
inline constexpr int32_t InfoHeaderBytes = 40;
inline constexpr uint16_t DibBitCount = 24;
inline constexpr uint32_t UncompressedRgb = 0; // BI_RGB
// A BMP file holds the block right after its 14-byte file header.
inline constexpr int32_t BmpFileHeaderBytes = 14;

// The block and its byte count. The count travels with the block so that nothing ever reads past
// its end; a block read from a file is checked against it once, when it is loaded.
struct PackedDib {
    uint8_t* block = nullptr; // none when null
    int32_t blockBytes = 0;
};

// Bytes of one pixel row of a 24-bit picture of the given width: 3 bytes a pixel, padded to a
// multiple of 4. Computed in 64 bits so that no width can overflow it.
inline int64_t RowStride(int64_t width) {
    return (width * 24 + 31) / 32 * 4;
}

// Takes one block of the given size from the heap: none when the size is outside the formats'
// signed 32-bit range or the memory cannot be had. A block of 2 MB or more begins
// BmpFileHeaderBytes past the start of a page, where it lies in a BMP file. ReleaseDib releases
// either kind.
PackedDib AllocateDib(int64_t blockBytes);
void ReleaseDib(PackedDib& image);

// Writes the 40-byte header of a 24-bit bottom-up picture, every field of it.
void WriteInfoHeader(uint8_t* block, int32_t width, int32_t height, uint32_t sizeImage);

// Header queries. They read the header only, at the block's start, and never fail; they are only
// applied to blocks that BlockHoldsPicture has passed.
uint16_t ColorTableEntries(const uint8_t* image);
uint16_t ColorTableBytes(const uint8_t* image);
uint32_t PixelDataOffset(const uint8_t* image);
int32_t ImageWidth(const uint8_t* image);
int32_t ImageHeight(const uint8_t* image);
void GetImageGeometry(const uint8_t* image, uint32_t* offset, int32_t* width, int32_t* height);
uint16_t ImageBitCount(const uint8_t* image);
uint32_t ImageCompression(const uint8_t* image);

// Whether a block of blockBytes bytes holds the whole header it claims, the colour table and,
// for an uncompressed picture, every pixel row its header describes.
bool BlockHoldsPicture(const uint8_t* block, int64_t blockBytes);

// Whether the picture is what the layout and the compositor need: a 40-byte header, 24 bits,
// uncompressed, pixels straight after the header, at least 1 x 1, rows stored bottom-up.
bool IsPackablePicture(const PackedDib& image);

// Turns a 24-bit uncompressed picture stored top-down (negative height) into bottom-up rows,
// in place, so that it packs upright. Other pictures are left as they are.
void TurnBottomUp(PackedDib& image);
