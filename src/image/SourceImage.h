#pragma once
// The source photograph: a JPEG, PNG or BMP file, its kind decided by its first bytes alone.

#include "image/PackedDib.h"
#include "image/SourceVerdict.h"

#include <cstdint>
#include <vector>

// How a source is loaded.
struct SourceOptions {
    // Packs a JPEG file's pixels as they are stored, without turning them upright for the
    // orientation its Exif segment records.
    bool ignoreOrientation = false;
};

// A loaded source: the picture, present only when the verdict is Loaded, the verdict, and the
// source's ICC colour profile (empty when it has none, or one no JPEG file could carry).
struct PackableSource {
    PackedDib image;
    SourceVerdict verdict = SourceVerdict::CannotOpen;
    std::vector<uint8_t> iccProfile;
};

// Loads the named file and keeps it only when it can be packed: a 24-bit bottom-up picture with
// a 40-byte header, at least 1 x 1. The file's first bytes decide its kind, never its name: a
// JPEG stream (turned upright for its Exif orientation unless the options say otherwise), a PNG
// stream, or a BMP file judged by the DIB header after its 14-byte file header; anything else is
// refused after reading its first bytes, whatever its size. A picture that cannot be packed is
// released at once, so only packable sources ever reach the layout and the compositor.
PackableSource LoadPackableSource(const char* fileName, const SourceOptions& options);
