#pragma once
// Sheets as one-page PDF files, for printing at true size from any viewer: the page is exactly the
// sheet at its resolution and holds nothing but the sheet, as one image at the page's origin.

#include "image/PackedDib.h"

#include <cstdint>

// Writes the 24-bit bottom-up sheet as a PDF file whose one page is width / dpi x 72 points wide
// and height / dpi x 72 high, the sheet covering it unscaled: with save format row 1 to 3 as the
// JPEG stream that row writes (DCTDecode), with row 0 as the pixels compressed without loss
// (FlateDecode). dpi is 1 to 10000. 1 on success, 0 on failure; a failed write keeps any
// existing file and leaves no partial one.
int WritePdfFile(const char* fileName, const PackedDib& sheet, int32_t saveMode, int32_t dpi);
