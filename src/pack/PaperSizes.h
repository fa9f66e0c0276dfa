#pragma once
// Paper sizes a sheet can be made for: each side kept exactly as the paper is named (whole
// millimetres, or hundredths of an inch), portrait, and turned to landscape on request.

#include <cstdint>

// Each unit's value is how many of it make 10 inches, so that a side converts exactly.
enum class PaperUnit : int32_t {
    Millimetre = 254,
    HundredthOfInch = 1000,
};

struct PaperSize {
    const char* name;      // as kafelator-cli takes it, any case
    const char* label;     // as the main dialog's paper list shows it
    int32_t width, height; // portrait: width <= height, in the unit
    PaperUnit unit;
};

inline constexpr int paperSizeCount = 14;
extern const PaperSize PaperSizes[paperSizeCount];

// The row of the paper of the name, in any case; -1 for none.
int FindPaperSize(const char* name);

// The paper's pixel size at the resolution (1 to 10000 dpi): each side in inches times the dpi,
// rounded to the nearest pixel (halves up); width and height swapped for landscape.
void PaperPixels(const PaperSize& paper, int32_t dpi, bool landscape, int32_t* width,
                 int32_t* height);
