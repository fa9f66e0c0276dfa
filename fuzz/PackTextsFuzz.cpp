// The texts the pack command reads (sheet size, distance, margin) through its parsing and the grid
// layout, and, when the grid fits a small sheet, through the sheet itself.
//
// Input: one byte of switches (bit 0: margin on; bit 1: cut guides; bit 2: turned copies; the
// rest picks the background), then the size, distance, margin and source-size texts, one a line.
// Each parsed number is compared with the C library's reading of the same text, and each layout
// with the layout's arithmetic done exactly, step by step, as the pack command's grid is defined:
// within the definition's limits (every sum and product within the signed 32-bit range) the result
// must be that one; outside them the layout may refuse, but what it gives must still lie on the
// sheet.

#include "FuzzInput.h"

#include "image/PackedDib.h"
#include "pack/PackTexts.h"
#include "pack/SheetBuilding.h"
#include "pack/SheetCompositor.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The controls are read through a 50-byte buffer.
constexpr size_t ControlTextChars = 49;
// Sheets up to this many pixels are composed; the layout alone is checked for larger ones.
constexpr int64_t ComposedSheetPixels = 1 << 18;
constexpr int32_t LargestComposedSource = 32;

// "%d" as the C library reads it: a number within the signed 32-bit range, else none.
bool ReferenceNumber(const char*& text, int32_t* value) {
    errno = 0;
    char* end = nullptr;
    long long number = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || number < INT32_MIN || number > INT32_MAX)
        return false;
    *value = static_cast<int32_t>(number);
    text = end;
    return true;
}

void CheckNumber(const std::string& text) {
    int32_t value = 0, expected = 0;
    const char* rest = text.c_str();
    bool parsed = ParseNumber(text.c_str(), &value);
    FUZZ_CHECK(parsed == ReferenceNumber(rest, &expected));
    FUZZ_CHECK(!parsed || value == expected);
}

int ReferenceSheetSize(std::string text, int32_t* width, int32_t* height) {
    for (char& c : text)
        c = c == ',' || c == '*' ? ' ' : c;
    const char* rest = text.c_str();
    if (!ReferenceNumber(rest, width))
        return 0;
    return ReferenceNumber(rest, height) ? 2 : 1;
}

// The layout's steps in exact arithmetic, noting whether every intermediate value stays within
// the signed 32-bit range the layout is defined for.
struct ExactLayout {
    bool defined = true;    // inside the limits of the definition
    bool fits = false;      // one copy fits between the margins
    int64_t values[6] = {}; // columns, rows, originX, originY, spacingX, spacingY

    int64_t Keep(int64_t value) {
        defined = defined && value >= INT32_MIN && value <= INT32_MAX;
        return value;
    }
};

ExactLayout ComputeExactly(int64_t W, int64_t H, int64_t w, int64_t h, int64_t D, uint32_t marginOn,
                           int64_t margin) {
    ExactLayout exact;
    exact.defined = w >= 1 && h >= 1 && (marginOn != 1 || margin >= 0) && w + D >= 1 && h + D >= 1;
    if (!exact.defined)
        return exact;
    int64_t m2 = exact.Keep(marginOn == 1 ? 2 * margin : 0);
    exact.fits = exact.Keep(w + m2) <= W && exact.Keep(h + m2) <= H;
    if (!exact.fits)
        return exact;
    auto axis = [&exact, m2, D](int64_t sheet, int64_t size, int64_t* count, int64_t* origin,
                                int64_t* spacing) {
        *count = exact.Keep(exact.Keep(exact.Keep(sheet - m2) + D) / exact.Keep(size + D));
        int64_t freeSpace = exact.Keep(exact.Keep(exact.Keep(sheet + D) - m2) -
                                       exact.Keep(*count * exact.Keep(size + D)));
        int64_t share = exact.Keep(freeSpace / exact.Keep(*count + 1));
        *spacing = exact.Keep(D + share);
        *origin = exact.Keep(m2 / 2 + share);
    };
    axis(W, w, &exact.values[0], &exact.values[2], &exact.values[4]);
    axis(H, h, &exact.values[1], &exact.values[3], &exact.values[5]);
    return exact;
}

void CheckLayout(const PackParameters& p, int64_t w, int64_t h, const SheetLayout& layout,
                 LayoutVerdict verdict, const ExactLayout& exact) {
    int64_t W = p.sheetWidth, H = p.sheetHeight, D = p.distance;
    int64_t margin = p.marginOn == 1 ? p.margin : 0;
    if (exact.defined) {
        FUZZ_CHECK(verdict == (exact.fits ? LayoutVerdict::Fits : LayoutVerdict::SourceTooLarge));
        if (exact.fits) {
            const int32_t got[6] = {layout.columns, layout.rows,     layout.originX,
                                    layout.originY, layout.spacingX, layout.spacingY};
            for (int i = 0; i < 6; ++i)
                FUZZ_CHECK(got[i] == exact.values[i]);
        }
    }
    if (verdict != LayoutVerdict::Fits)
        return;
    // Whatever the limits, a grid that is given lies on the sheet, inside the margins, with at
    // least the distance between copies.
    FUZZ_CHECK(w >= 1 && h >= 1 && w + D >= 1 && h + D >= 1 && margin >= 0);
    FUZZ_CHECK(layout.columns >= 1 && layout.rows >= 1);
    FUZZ_CHECK(layout.originX >= margin && layout.originY >= margin);
    FUZZ_CHECK(layout.spacingX >= D && layout.spacingY >= D);
    FUZZ_CHECK(layout.originX + (layout.columns - 1) * (w + layout.spacingX) + w <= W - margin);
    FUZZ_CHECK(layout.originY + (layout.rows - 1) * (h + layout.spacingY) + h <= H - margin);
}

std::vector<std::string> Lines(const uint8_t* data, size_t size) {
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else if (lines.back().size() < ControlTextChars)
            lines.back() += static_cast<char>(data[i]);
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    std::vector<std::string> texts = Lines(data + 1, size - 1);
    texts.resize(4);
    for (const std::string& text : texts)
        CheckNumber(text);

    int32_t width = -1, height = -1, expectedWidth = -1, expectedHeight = -1;
    int converted = ParseSheetSize(texts[0].c_str(), &width, &height);
    FUZZ_CHECK(converted == ReferenceSheetSize(texts[0], &expectedWidth, &expectedHeight));
    FUZZ_CHECK(width == expectedWidth && height == expectedHeight);
    PackParameters p;
    if (converted != 2 || !ParseNumber(texts[1].c_str(), &p.distance) ||
        !ParseNumber(texts[2].c_str(), &p.margin))
        return 0;
    p.sheetWidth = width;
    p.sheetHeight = height;
    p.marginOn = data[0] & 1;
    p.cutGuides = (data[0] & 2) != 0;
    p.turnCopies = (data[0] & 4) != 0;
    p.background = (data[0] >> 3) % backgroundLevelCount;
    int32_t sourceWidth = 7, sourceHeight = 5;
    if (ParseSheetSize(texts[3].c_str(), &sourceWidth, &sourceHeight) != 2) {
        sourceWidth = 7;
        sourceHeight = 5;
    }

    SheetLayout layout{};
    LayoutVerdict verdict = ComputeLayout(p.sheetWidth, p.sheetHeight, sourceWidth, sourceHeight,
                                          p.distance, p.marginOn, p.margin, &layout);
    CheckLayout(p, sourceWidth, sourceHeight, layout, verdict,
                ComputeExactly(p.sheetWidth, p.sheetHeight, sourceWidth, sourceHeight, p.distance,
                               p.marginOn, p.margin));

    bool small = int64_t{p.sheetWidth} * p.sheetHeight <= ComposedSheetPixels &&
                 sourceWidth <= LargestComposedSource && sourceHeight <= LargestComposedSource;
    if (verdict == LayoutVerdict::Fits && small) {
        PackedDib source = MakeFuzzPicture(sourceWidth, sourceHeight);
        BuiltSheet built = BuildSheet(source, p);
        FUZZ_CHECK(built.verdict == LayoutVerdict::Fits);
        CheckBuiltSheet(source, p, built.sheet);
        ReleaseDib(built.sheet);
        ReleaseDib(source);
    }
    return 0;
}
