#pragma once
// JPEG files, read into and written from packed DIB blocks through the JPEG codec.

#include "image/PackedDib.h"
#include "image/SheetMetadata.h"
#include "platform/FileCalls.h"
#include "platform/RowSource.h"

#include <cstdint>
#include <vector>

// What a JPEG file holds beside its picture: the payload of its APP1 Exif segment ("Exif\0\0"
// and what follows) and its ICC profile, each empty when the file has none.
struct JpegMetadata {
    std::vector<uint8_t> exifSegment;
    std::vector<uint8_t> iccProfile;
};

// Reads a JPEG file into a new block: 40-byte header, 24 bits, bottom-up blue-green-red rows
// with zeroed pad bytes, and, when metadata is given, what the file holds beside the picture.
// None when the codec refuses the file (anything that is not a JPEG file, or a damaged one), when
// the block would not fit the signed 32-bit range, or when its memory cannot be had; nothing
// allocated remains.
PackedDib ReadJpegFile(const char* fileName, JpegMetadata* metadata = nullptr);

// Writes a 24-bit picture as a three-channel YCbCr JPEG file with 4:2:0 chroma at the given
// quality (1 to 100), with the metadata's resolution as the JFIF segment's density in dots per
// inch and its ICC profile, when it has one, in APP2 segments right after the JFIF segment; 1 on
// success, 0 on failure. A failed write keeps any existing file and leaves no partial one.
int WriteJpegFile(const char* fileName, const PackedDib& image, int32_t quality,
                  const SheetMetadata& metadata);

// Writes a 24-bit bottom-up picture of width x height whose rows the row source makes, a band at a
// time from two threads, never holding it whole: the file WriteJpegFile writes for the same
// picture, byte for byte.
int WriteJpegRows(const char* fileName, int32_t width, int32_t height, const RowSource& rows,
                  int32_t quality, const SheetMetadata& metadata);

// The same JPEG stream, without metadata, written at the end of a file being written, for files
// that hold a JPEG stream inside them. 1 on success, 0 on failure, after which the caller
// discards the file.
int WriteJpegStream(NewFile& file, const PackedDib& image, int32_t quality);
