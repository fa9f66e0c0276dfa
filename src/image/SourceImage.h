#pragma once
// The source photograph: a BMP file or, by its content alone, a JPEG file.

#include "image/PackedDib.h"

// Reads the named file into a new block; none when it cannot be opened or read. The content
// decides the kind, never the name.
PackedDib LoadSourceImage(const char* fileName);

enum class SourceVerdict {
    Loaded,      // the picture can be packed
    CannotOpen,  // the file could not be loaded at all
    WrongFormat, // it loaded, but is not a 24-bit uncompressed picture of at least 1 x 1
};

// A loaded source: the picture, present only when the verdict is Loaded, and the verdict.
struct PackableSource {
    PackedDib image;
    SourceVerdict verdict = SourceVerdict::CannotOpen;
};

// Loads the named file and keeps it only when it can be packed. A picture that cannot be packed
// is released again at once, so only packable sources ever reach the layout and the compositor.
PackableSource LoadPackableSource(const char* fileName);
