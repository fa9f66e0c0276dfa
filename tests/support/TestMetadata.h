#pragma once
// Marker segments of JPEG streams for the tests: an Exif orientation, segments spliced into a
// stream, and ICC profiles written and read by the reference JPEG library's own calls.

#include "support/TestFiles.h"

#include <cstdint>

// An APP1 Exif payload ("Exif\0\0" and a TIFF structure in the given byte order) whose first
// directory holds a Make entry and then the orientation.
Bytes ExifPayload(int orientation, bool bigEndian);

// The stream with one more marker segment right after its JFIF segment.
Bytes WithSegment(Bytes stream, uint8_t marker, const Bytes& payload);

// A JPEG stream of the picture carrying the profile, written by the reference library.
Bytes EncodeWithProfile(const PackedDib& picture, const Bytes& profile);

// The profile the reference library reads from a JPEG stream; empty when it finds none.
Bytes ReferenceProfile(const Bytes& stream);
