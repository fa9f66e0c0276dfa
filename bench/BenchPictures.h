#pragma once
// Pictures the benchmarks work on, made in memory.

#include "image/PackedDib.h"

#include <cstdint>

// Gradients under fine grain, so the coder works as hard as on a photograph. The same size always
// gives the same bytes.
PackedDib MakeGrainyPicture(int32_t width, int32_t height);
