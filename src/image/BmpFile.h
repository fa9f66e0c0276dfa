#pragma once
// BMP files: a 14-byte file header followed by a packed DIB block.

#include "image/PackedDib.h"
#include "platform/FileCalls.h"
#include "platform/RowSource.h"

#include <cstdint>

// Reads a whole BMP file, open and positioned at its start, into a new block; none when the file
// is shorter than its file header, cannot be read, or holds a block too short for its own header
// or rows. The file header is not examined: everything after it is the block. A 24-bit picture
// stored top-down comes back bottom-up. The file stays open.
PackedDib ReadBmp(FileHandle file);

// Reads count bytes into destination in chunks of at most 32767 bytes; 1 when all came, 0 on the
// first short read.
int ReadInChunks(FileHandle file, uint8_t* destination, int64_t count);

// Writes the image's whole block behind a 14-byte file header; 1 on success, 0 on failure. A
// failed write leaves any existing file as it was and no partial file behind. A resolution of 1
// dpi or more goes into the written header's biXPelsPerMeter and biYPelsPerMeter (the block
// stays as it is); 0 writes the block's own bytes.
int WriteBmpFile(const char* fileName, const PackedDib& image, int32_t dpi = 0);

// Writes a 24-bit bottom-up picture of width x height whose rows the row source makes, a band at a
// time, never holding it whole: the file WriteBmpFile writes for the same picture with the header
// every sheet has (biSizeImage the pixel bytes) and the same resolution, byte for byte. 1 on
// success, 0 on failure, including a picture whose block would pass the formats' 32-bit sizes.
int WriteBmpRows(const char* fileName, int32_t width, int32_t height, const RowSource& rows,
                 int32_t dpi = 0);
