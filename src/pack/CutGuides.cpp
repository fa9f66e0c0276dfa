#include "pack/CutGuides.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t FirstDarkBackground = 3; // "ciemnoszare", then "czarne"
constexpr uint8_t Black = 0, White = 255;

// One direction of the grid: count copies of `size` pixels, the first at `origin`, `pitch` apart.
struct Axis {
    int64_t origin, pitch, size, count;
};

bool StartsCopy(const Axis& axis, int64_t position) {
    int64_t from = position - axis.origin;
    return from >= 0 && from % axis.pitch == 0 && from / axis.pitch < axis.count;
}

// Whether the position is the one just before a copy or just after one.
bool OnGuide(const Axis& axis, int64_t position) {
    return StartsCopy(axis, position + 1) || StartsCopy(axis, position - axis.size);
}

// Whether the position lies inside a copy. Copies further along end further along, so only the
// last copy that starts at or before the position can hold it.
bool InCopy(const Axis& axis, int64_t position) {
    int64_t from = position - axis.origin;
    if (from < 0)
        return false;
    int64_t last = std::min(from / axis.pitch, axis.count - 1);
    return from - last * axis.pitch < axis.size;
}

} // namespace

uint8_t GuideLevel(uint32_t background) {
    return background >= FirstDarkBackground ? White : Black;
}

void DrawRowGuides(uint8_t* pixels, int64_t row, int64_t sheetWidth, int64_t w, int64_t h,
                   const SheetLayout& layout, uint8_t level) {
    const Axis across{layout.originX, w + layout.spacingX, w, layout.columns};
    const Axis down{layout.originY, h + layout.spacingY, h, layout.rows};
    bool rowInCopies = InCopy(down, row);
    auto paint = [&](int64_t x) {
        if (x >= 0 && x < sheetWidth && !(rowInCopies && InCopy(across, x)))
            std::memset(pixels + 3 * x, level, 3);
    };
    if (OnGuide(down, row)) {
        if (!rowInCopies) {
            std::memset(pixels, level, static_cast<size_t>(3 * sheetWidth));
            return;
        }
        for (int64_t x = 0; x < sheetWidth; ++x)
            paint(x);
        return;
    }
    for (int64_t l = 0; l < layout.columns; ++l) {
        int64_t left = layout.originX + l * across.pitch;
        paint(left - 1);
        paint(left + w);
    }
}
