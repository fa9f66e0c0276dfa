#pragma once
// JPEG files, read into and written from packed DIB blocks through the JPEG codec.

#include "image/PackedDib.h"

#include <cstdint>

// Reads a JPEG file into a new block: 40-byte header, 24 bits, bottom-up blue-green-red rows
// with zeroed pad bytes. None when the codec refuses the file (anything that is not a JPEG
// file, or a damaged one), when the block would not fit the signed 32-bit range, or when its
// memory cannot be had; nothing allocated remains.
PackedDib ReadJpegFile(const char* fileName);

// Writes a 24-bit picture as a three-channel YCbCr JPEG file with 4:2:0 chroma at the given
// quality (1 to 100); 1 on success, 0 on failure. A failed write keeps any existing file and
// leaves no partial one.
int WriteJpegFile(const char* fileName, const PackedDib& image, int32_t quality);
