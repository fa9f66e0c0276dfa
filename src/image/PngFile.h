#pragma once
// PNG files, read into packed DIB blocks through the PNG decoder.

#include "image/PackedDib.h"

#include <cstdint>
#include <vector>

// Reads a PNG stream held in memory into a new block: 40-byte header, 24 bits, bottom-up
// blue-green-red rows with zeroed pad bytes, transparency composed onto white; *iccProfile gets
// the stream's ICC profile, or is emptied. None when the stream is no sound PNG stream, when its
// 24-bit block would not fit the signed 32-bit range (found from the header, before anything
// large is allocated), or when memory cannot be had; nothing allocated remains.
PackedDib ReadPngPicture(const uint8_t* bytes, int64_t count, std::vector<uint8_t>* iccProfile);
