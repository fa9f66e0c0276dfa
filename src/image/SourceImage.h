#pragma once
// The source photograph: a BMP file or, by its content alone, a JPEG file.

#include "image/PackedDib.h"

// Reads the named file into a new block; none when it cannot be opened or read. The content
// decides the kind, never the name.
PackedDib LoadSourceImage(const char* fileName);

enum class SourceVerdict {
    Loaded,      // appState.sourceImage holds a picture that can be packed
    CannotOpen,  // the file could not be loaded at all
    WrongFormat, // it loaded, but is not a 24-bit uncompressed picture of at least 1 x 1
};

// Releases the current source picture, loads the named file and keeps it as the source when it
// can be packed, with its size in appState.sourceWidth and sourceHeight. A picture that cannot be
// packed is released again, so only packable sources ever reach the layout and the compositor.
SourceVerdict OpenSourcePicture(const char* fileName);
