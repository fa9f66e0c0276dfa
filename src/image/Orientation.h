#pragma once
// Turning a picture upright for its recorded orientation.

#include "image/PackedDib.h"

#include <cstdint>

// The upright picture of a 24-bit bottom-up picture stored with the given Exif orientation (see
// ExifOrientation.h): mirrored, turned half round, or turned a quarter with or without a mirror,
// so that its width and height are those of the upright photograph. Orientation 1, or a value
// outside 1 to 8, gives the picture back as it is. Otherwise the picture is released and a new
// block is returned, none when its memory cannot be had.
PackedDib TurnUpright(PackedDib image, int32_t orientation);

// A new picture: the 24-bit bottom-up picture turned a quarter clockwise, its top to the right,
// so its width is the picture's height. The picture stays; none when the memory cannot be had.
PackedDib TurnedQuarterClockwise(const PackedDib& image);
