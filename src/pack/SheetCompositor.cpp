#include "pack/SheetCompositor.h"

#include "pack/CutGuides.h"

#include <climits>
#include <cstdint>
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

bool PlanSheet(const PackedDib& source, int32_t sheetWidth, int32_t sheetHeight,
               uint32_t background, const SheetLayout& layout, bool cutGuides,
               SheetRecipe* recipe) {
    if (!IsPackablePicture(source) || background >= backgroundLevelCount)
        return false;
    int32_t w = ImageWidth(source.block), h = ImageHeight(source.block);
    if (!LayoutLiesOnSheet(layout, w, h, sheetWidth, sheetHeight) ||
        InfoHeaderBytes + RowStride(sheetWidth) * sheetHeight > INT32_MAX)
        return false;
    *recipe = {source.block + InfoHeaderBytes,
               w,
               h,
               sheetWidth,
               sheetHeight,
               BackgroundGreys[background],
               layout,
               cutGuides,
               GuideLevel(background)};
    return true;
}

PackedDib ComposeSheet(const PackedDib& source, int32_t sheetWidth, int32_t sheetHeight,
                       uint32_t background, const SheetLayout& layout, bool cutGuides) {
    SheetRecipe recipe;
    if (!PlanSheet(source, sheetWidth, sheetHeight, background, layout, cutGuides, &recipe))
        return {};
    int64_t stride = RowStride(sheetWidth);
    int64_t pixelBytes = stride * sheetHeight;
    PackedDib sheet = AllocateDib(InfoHeaderBytes + pixelBytes);
    if (sheet.block == nullptr)
        return {};
    WriteInfoHeader(sheet.block, sheetWidth, sheetHeight, static_cast<uint32_t>(pixelBytes));
    uint8_t* pixels = sheet.block + InfoHeaderBytes;
    InTwoHalves(sheetHeight, pixelBytes, [&](int64_t firstRow, int64_t endRow) {
        ComposeSheetRows(recipe, firstRow, endRow, pixels + firstRow * stride);
    });
    return sheet;
}
