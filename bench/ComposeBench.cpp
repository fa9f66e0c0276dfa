// Composing sheets: an A4 sheet at 300 dpi and a 10000 x 10000 one, each from a photo-sized
// source, with and without copies that overlap.

#include "app/AppState.h"
#include "pack/GridLayout.h"
#include "pack/SheetCompositor.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

void PrepareSource(int32_t width, int32_t height) {
    ResetAppState();
    int64_t stride = RowStride(width);
    appState.sourceImage = AllocateDib(InfoHeaderBytes + stride * height);
    WriteInfoHeader(appState.sourceImage.block, width, height, 0);
    uint8_t* pixels = appState.sourceImage.block + InfoHeaderBytes;
    for (int64_t i = 0; i < stride * height; ++i)
        pixels[i] = static_cast<uint8_t>(i * 31 + i / 977);
    appState.sourceWidth = width;
    appState.sourceHeight = height;
}

// Arguments: sheet width, sheet height, source width, source height, distance.
void ComposeSheetBench(benchmark::State& state) {
    PrepareSource(static_cast<int32_t>(state.range(2)), static_cast<int32_t>(state.range(3)));
    appState.sheetWidth = static_cast<int32_t>(state.range(0));
    appState.sheetHeight = static_cast<int32_t>(state.range(1));
    appState.background = 2;
    SheetLayout layout{};
    ComputeLayout(appState.sheetWidth, appState.sheetHeight, appState.sourceWidth,
                  appState.sourceHeight, static_cast<int32_t>(state.range(4)), 1, 20, &layout);
    int32_t sheetBytes = 0;
    for (auto _ : state) {
        PackedDib sheet = ComposeSheet(layout, &sheetBytes);
        benchmark::DoNotOptimize(sheet.block);
        ReleaseDib(sheet);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{sheetBytes});
    state.counters["copies"] = layout.columns * layout.rows;
    ResetAppState();
}

BENCHMARK(ComposeSheetBench)
    ->ArgNames({"W", "H", "w", "h", "D"})
    ->Args({2480, 3508, 413, 531, 50})
    ->Args({2480, 3508, 600, 800, 50})
    ->Args({2480, 3508, 600, 800, -100})
    ->Args({10000, 10000, 1200, 1600, 50})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
