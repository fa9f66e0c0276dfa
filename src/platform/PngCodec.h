#pragma once
// The PNG decoder: a thin layer of our own over libspng, a decoder made for untrusted input. It
// decodes from bytes in memory; the caller reads the file.
//
// What it promises: every colour type and bit depth (grey, grey with alpha, palette with or
// without transparency, truecolour with or without alpha; 1 to 16 bits), interlaced or not, comes
// out as 24-bit blue-green-red rows: 16-bit samples reduced to 8 by rounding, transparency
// composed onto white. Chunks larger than PngChunkLimit, or cached chunks above
// PngChunkCacheLimit in all, are refused, so a few bytes can never make it take much memory; a
// stream that is damaged, or ends before its last row, fails. The library's text is never passed
// on.

#include <cstdint>
#include <vector>

// The largest chunk taken: a PNG encoder writes its picture data in chunks of a few kilobytes to
// a megabyte, and an ICC profile is rarely over a megabyte.
inline constexpr int64_t PngChunkLimit = 64 << 20;
// The most memory taken by the chunks kept beside the picture (text, profile and the like).
inline constexpr int64_t PngChunkCacheLimit = 64 << 20;

// Whether the bytes begin with the PNG signature.
bool HasPngSignature(const uint8_t* bytes, int64_t count);

// The width and height the stream's header gives; 0 on success, non-zero when the bytes are no
// PNG stream with a sound header.
int ReadPngSize(const uint8_t* bytes, int64_t count, int32_t* width, int32_t* height);

// Decodes the whole picture into rows of width x height blue-green-red pixels, pitch bytes apart,
// the first row in memory being the picture's bottom row; pad bytes are left alone. Sets
// *iccProfile to the profile of the iCCP chunk, decompressed, or empty. 0 on success, non-zero
// on any failure, also when the picture is not of the given size.
int DecodePngPicture(const uint8_t* bytes, int64_t count, uint8_t* rows, int64_t pitch,
                     int32_t width, int32_t height, std::vector<uint8_t>* iccProfile);
