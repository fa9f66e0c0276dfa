#include "pack/SheetCompositor.h"

#include "app/AppState.h"

#include <cstdint>
#include <cstring>

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

} // namespace

PackedDib ComposeSheet(const SheetLayout& layout, int32_t* sheetBytes) {
    const PackedDib& source = appState.sourceImage;
    int64_t w = appState.sourceWidth, h = appState.sourceHeight;
    int64_t W = appState.sheetWidth, H = appState.sheetHeight;
    if (!IsPackablePicture(source) || ImageWidth(source.block) != w ||
        ImageHeight(source.block) != h || appState.background >= backgroundLevelCount ||
        !LayoutLiesOnSheet(layout, w, h, W, H))
        return {};

    int64_t stride = RowStride(W);
    int64_t pixelBytes = stride * H;
    *sheetBytes = 0;
    PackedDib sheet = AllocateDib(InfoHeaderBytes + pixelBytes);
    if (sheet.block == nullptr)
        return {};
    *sheetBytes = sheet.blockBytes;

    WriteInfoHeader(sheet.block, static_cast<int32_t>(W), static_cast<int32_t>(H),
                    static_cast<uint32_t>(pixelBytes));
    uint8_t* pixels = sheet.block + InfoHeaderBytes;
    std::memset(pixels, BackgroundGreys[appState.background], static_cast<size_t>(pixelBytes));
    CopyIntoGrid(pixels, stride, source.block + InfoHeaderBytes, w, h, layout);
    return sheet;
}
