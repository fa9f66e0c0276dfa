#pragma once
// BMP files of every common form, read into the 24-bit bottom-up block the core packs:
// uncompressed 1-, 2-, 4-, 8-, 16-, 24- and 32-bit pixels, 12-, 16-, 40-, 52-, 56-, 64-, 108- and
// 124-byte headers, colour tables, bit-field masks (alpha composed onto white), top-down rows and
// RLE4/RLE8 compression.

#include "image/PackedDib.h"
#include "image/SourceVerdict.h"
#include "platform/FileCalls.h"

#include <cstdint>

// The bytes of a file's start that decide its kind and form: the 14-byte file header, the
// largest DIB header and the masks that may follow a 40-byte one.
inline constexpr int64_t BmpHeadBytes = 14 + 124 + 16;

// Whether the DIB header size after the 14-byte file header is one the BMP forms use. The file
// header's type letters, size and offset play no part.
bool IsBmpHead(const uint8_t* head, int64_t headBytes);

// Reads the open BMP file of fileBytes bytes, whose first headBytes bytes are head, into a new
// block. A 24-bit file with a 40-byte header and no colour table is read as it always was: the
// block is the file's bytes after the file header, its pixels taken from right after the header,
// its rows turned bottom-up. Every other form is converted into a new block. Every size is
// checked against the file and the signed 32-bit range before anything large is read or
// allocated. Loaded, with the picture; CannotOpen for a file that cannot be read or is damaged;
// WrongFormat for a sound file of a form that cannot be packed (JPEG or PNG pixels inside,
// Huffman-coded or RLE24 OS/2 pixels); nothing allocated remains after a refusal.
SourceVerdict ReadBmpSource(FileHandle file, const uint8_t* head, int64_t headBytes,
                            int64_t fileBytes, PackedDib* image);
