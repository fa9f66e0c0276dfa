// Painting the preview: a sheet drawn at its halved display size, as every paint of the preview
// does, straight from the sheet's rows.

#include "image/PackedDib.h"
#include "platform/DibPainter.h"
#include "ui/PreviewDialog.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <vector>

namespace {

// Arguments: sheet width and height, screen width and height.
void PaintPreviewBench(benchmark::State& state) {
    auto width = static_cast<int32_t>(state.range(0)),
         height = static_cast<int32_t>(state.range(1));
    int64_t stride = RowStride(width);
    std::vector<uint8_t> sheet(static_cast<size_t>(stride * height));
    for (size_t i = 0; i < sheet.size(); ++i)
        sheet[i] = static_cast<uint8_t>(i * 13 + i / 4099);
    int32_t shownWidth = width, shownHeight = height;
    FitByHalving(static_cast<int32_t>(state.range(2)) - 10,
                 static_cast<int32_t>(state.range(3)) - 50, &shownWidth, &shownHeight);
    QImage window(shownWidth + 10, shownHeight + 50, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        DrawDibNearest(painter, 5, 5, shownWidth, shownHeight, sheet.data(), width, height, stride);
    }
    state.counters["shown_pixels"] = double(shownWidth) * shownHeight;
}

BENCHMARK(PaintPreviewBench)
    ->ArgNames({"W", "H", "screenW", "screenH"})
    ->Args({2480, 3508, 1920, 1080})
    ->Args({2480, 3508, 1024, 768})
    ->Args({10000, 10000, 1920, 1080})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
