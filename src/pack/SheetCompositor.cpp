#include "pack/SheetCompositor.h"

#include "pack/CutGuides.h"

#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>

const char BackgroundLevels[backgroundLevelCount][BackgroundNameSlot] = {
    "jasne", "jasnoszare", "szare", "ciemnoszare", "czarne"};
const uint8_t BackgroundGreys[backgroundLevelCount] = {255, 196, 128, 70, 0};

namespace {

// Whether every copy of a w x h source lies wholly on a W x H sheet: the layout's own promise,
// checked once here because the copies are written without further bounds checks.
bool LayoutLiesOnSheet(const SheetLayout& layout, int64_t w, int64_t h, int64_t W, int64_t H) {
    if (layout.columns < 1 || layout.rows < 1 || layout.originX < 0 || layout.originY < 0 ||
        w + layout.spacingX < 1 || h + layout.spacingY < 1)
        return false;
    int64_t right = layout.originX + (layout.columns - 1) * (w + layout.spacingX) + w;
    int64_t top = layout.originY + (layout.rows - 1) * (h + layout.spacingY) + h;
    return right <= W && top <= H;
}

// Copies the source rows into every place of the grid. Copies are laid from the upper right to
// the lower left, so where they overlap the one nearest the lower-left corner is laid last.
void CopyIntoGrid(uint8_t* sheetPixels, int64_t sheetStride, const uint8_t* sourcePixels, int64_t w,
                  int64_t h, const SheetLayout& layout) {
    int64_t sourceStride = RowStride(w);
    size_t rowBytes = static_cast<size_t>(3 * w); // the source's row padding is never copied
    for (int64_t k = layout.rows - 1; k >= 0; --k) {
        int64_t bottomRow = layout.originY + k * (h + layout.spacingY);
        for (int64_t l = layout.columns - 1; l >= 0; --l) {
            int64_t leftColumn = layout.originX + l * (w + layout.spacingX);
            uint8_t* target = sheetPixels + bottomRow * sheetStride + 3 * leftColumn;
            const uint8_t* source = sourcePixels;
            for (int64_t y = 0; y < h; ++y, target += sheetStride, source += sourceStride)
                std::memcpy(target, source, rowBytes);
        }
    }
}

// The cut guides of a sheet: none, or their grey.
struct Guides {
    bool drawn;
    uint8_t level;
};

// Writes every byte of stored rows firstRow to endRow - 1 once: row by row, grey where no copy
// lands and the source row where one does, then the row's cut guides. Only for copies that do
// not overlap.
void ComposeRows(uint8_t* sheetPixels, int64_t sheetStride, int64_t firstRow, int64_t endRow,
                 uint8_t grey, const uint8_t* sourcePixels, int64_t w, int64_t h,
                 const SheetLayout& layout, int64_t W, Guides guides) {
    int64_t sourceStride = RowStride(w);
    int64_t bandPitch = h + layout.spacingY;
    // In 64 bits: a lone copy may stand apart from its absent neighbours by up to 2^31 pixels.
    size_t copyBytes = static_cast<size_t>(3 * w),
           gapBytes = static_cast<size_t>(3 * int64_t{layout.spacingX});
    for (int64_t r = firstRow; r < endRow; ++r) {
        uint8_t* row = sheetPixels + r * sheetStride;
        int64_t above = r - layout.originY;
        int64_t k = above >= 0 ? above / bandPitch : -1;
        int64_t y = above - k * bandPitch;
        if (above < 0 || k >= layout.rows || y >= h) {
            std::memset(row, grey, static_cast<size_t>(sheetStride));
            if (guides.drawn)
                DrawRowGuides(row, r, W, w, h, layout, guides.level);
            continue;
        }
        const uint8_t* source = sourcePixels + y * sourceStride;
        uint8_t* place = row + 3 * int64_t{layout.originX};
        std::memset(row, grey, static_cast<size_t>(place - row));
        for (int32_t l = 0; l < layout.columns; ++l) {
            if (l > 0) {
                std::memset(place, grey, gapBytes);
                place += gapBytes;
            }
            std::memcpy(place, source, copyBytes);
            place += copyBytes;
        }
        std::memset(place, grey, static_cast<size_t>(row + sheetStride - place));
        if (guides.drawn)
            DrawRowGuides(row, r, W, w, h, layout, guides.level);
    }
}

// A sheet's fresh pages cost more to touch than to write (the kernel clears each one first), and
// that cost spreads over cores: a large sheet is composed in two halves at once, the upper one on
// a second thread, which the caller joins before the sheet is used. Measured on two cores, a
// 10000 x 10000 sheet takes about 40 ms instead of 58 (both halves share one memory bus, hence not
// half); an A4 sheet at 300 dpi gains half a millisecond, and below SplitBytes the thread costs
// about what it saves. When no thread can be had, the caller composes the whole sheet.
constexpr int64_t SplitBytes = int64_t{8} << 20;

template <typename ComposeRange>
void InTwoHalves(int64_t H, int64_t pixelBytes, ComposeRange compose) {
    int64_t middle = H / 2;
    if (pixelBytes >= SplitBytes) {
        try {
            std::thread upper(compose, middle, H);
            compose(int64_t{0}, middle);
            upper.join();
            return;
        } catch (const std::system_error&) {
            // no second thread: compose everything here
        }
    }
    compose(int64_t{0}, H);
}

} // namespace

PackedDib ComposeSheet(const PackedDib& source, int32_t sheetWidth, int32_t sheetHeight,
                       uint32_t background, const SheetLayout& layout, bool cutGuides) {
    if (!IsPackablePicture(source) || background >= backgroundLevelCount)
        return {};
    int64_t w = ImageWidth(source.block), h = ImageHeight(source.block);
    int64_t W = sheetWidth, H = sheetHeight;
    if (!LayoutLiesOnSheet(layout, w, h, W, H))
        return {};

    int64_t stride = RowStride(W);
    int64_t pixelBytes = stride * H;
    PackedDib sheet = AllocateDib(InfoHeaderBytes + pixelBytes);
    if (sheet.block == nullptr)
        return {};

    WriteInfoHeader(sheet.block, static_cast<int32_t>(W), static_cast<int32_t>(H),
                    static_cast<uint32_t>(pixelBytes));
    uint8_t* pixels = sheet.block + InfoHeaderBytes;
    uint8_t grey = BackgroundGreys[background];
    Guides guides{cutGuides, GuideLevel(background)};
    if (layout.spacingX >= 0 && layout.spacingY >= 0) {
        const uint8_t* sourcePixels = source.block + InfoHeaderBytes;
        InTwoHalves(H, pixelBytes, [&](int64_t firstRow, int64_t endRow) {
            ComposeRows(pixels, stride, firstRow, endRow, grey, sourcePixels, w, h, layout, W,
                        guides);
        });
    } else {
        std::memset(pixels, grey, static_cast<size_t>(pixelBytes));
        CopyIntoGrid(pixels, stride, source.block + InfoHeaderBytes, w, h, layout);
        for (int64_t r = 0; guides.drawn && r < H; ++r)
            DrawRowGuides(pixels + r * stride, r, W, w, h, layout, guides.level);
    }
    return sheet;
}
