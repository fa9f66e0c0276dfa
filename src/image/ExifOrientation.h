#pragma once
// The orientation a camera records in a JPEG file's Exif segment: how the stored rows lie in the
// upright picture.

#include <cstdint>

// The eight Exif orientation values: 1 upright as stored, 2 mirrored, 3 turned half round, 4
// mirrored top to bottom, 5 mirrored along the main diagonal, 6 stored a quarter turn
// anticlockwise (shown after a quarter turn clockwise), 7 mirrored along the other diagonal, 8
// stored a quarter turn clockwise.
inline constexpr int32_t UprightOrientation = 1;
inline constexpr int32_t OrientationCount = 8;

// Tag 0x0112 of the first image directory (IFD0) of an APP1 payload ("Exif\0\0", then a TIFF
// header in either byte order). Every offset is checked against the segment's length; a segment
// without the tag, or damaged anywhere on the way to it, or holding a value outside 1 to 8,
// gives UprightOrientation.
int32_t ExifOrientation(const uint8_t* segment, int64_t segmentBytes);
