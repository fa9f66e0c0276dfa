#include "pack/PaperSizes.h"

#include <strings.h>

const PaperSize PaperSizes[paperSizeCount] = {
    {"A3", "A3 (297 x 420 mm)", 297, 420, PaperUnit::Millimetre},
    {"A4", "A4 (210 x 297 mm)", 210, 297, PaperUnit::Millimetre},
    {"A5", "A5 (148 x 210 mm)", 148, 210, PaperUnit::Millimetre},
    {"A6", "A6 (105 x 148 mm)", 105, 148, PaperUnit::Millimetre},
    {"9x13", "9 x 13 cm", 90, 130, PaperUnit::Millimetre},
    {"10x15", "10 x 15 cm", 100, 150, PaperUnit::Millimetre},
    {"13x18", "13 x 18 cm", 130, 180, PaperUnit::Millimetre},
    {"15x21", "15 x 21 cm", 150, 210, PaperUnit::Millimetre},
    {"20x30", "20 x 30 cm", 200, 300, PaperUnit::Millimetre},
    {"letter", "Letter (8,5 x 11 in)", 850, 1100, PaperUnit::HundredthOfInch},
    {"legal", "Legal (8,5 x 14 in)", 850, 1400, PaperUnit::HundredthOfInch},
    {"4x6", "4 x 6 in", 400, 600, PaperUnit::HundredthOfInch},
    {"5x7", "5 x 7 in", 500, 700, PaperUnit::HundredthOfInch},
    {"8x10", "8 x 10 in", 800, 1000, PaperUnit::HundredthOfInch},
};

namespace {

// side / (units in 10 inches) x 10 x dpi, rounded half up.
int32_t SidePixels(int32_t side, PaperUnit unit, int32_t dpi) {
    int64_t perTenInches = static_cast<int64_t>(unit);
    return static_cast<int32_t>((int64_t{side} * dpi * 20 + perTenInches) / (2 * perTenInches));
}

} // namespace

int FindPaperSize(const char* name) {
    for (int row = 0; row < paperSizeCount; ++row)
        if (strcasecmp(name, PaperSizes[row].name) == 0)
            return row;
    return -1;
}

void PaperPixels(const PaperSize& paper, int32_t dpi, bool landscape, int32_t* width,
                 int32_t* height) {
    int32_t across = SidePixels(paper.width, paper.unit, dpi);
    int32_t down = SidePixels(paper.height, paper.unit, dpi);
    *width = landscape ? down : across;
    *height = landscape ? across : down;
}
