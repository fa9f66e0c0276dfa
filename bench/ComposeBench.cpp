// Composing sheets: an A4 sheet at 300 dpi and a 10000 x 10000 one, each from a photo-sized
// source, with and without copies that overlap.

#include "pack/GridLayout.h"
#include "pack/SheetCompositor.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

PackedDib MakeSource(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib source = AllocateDib(InfoHeaderBytes + stride * height);
    WriteInfoHeader(source.block, width, height, 0);
    uint8_t* pixels = source.block + InfoHeaderBytes;
    for (int64_t i = 0; i < stride * height; ++i)
        pixels[i] = static_cast<uint8_t>(i * 31 + i / 977);
    return source;
}

// Arguments: sheet width, sheet height, source width, source height, distance.
void ComposeSheetBench(benchmark::State& state) {
    auto W = static_cast<int32_t>(state.range(0)), H = static_cast<int32_t>(state.range(1));
    auto w = static_cast<int32_t>(state.range(2)), h = static_cast<int32_t>(state.range(3));
    PackedDib source = MakeSource(w, h);
    SheetLayout layout{};
    ComputeLayout(W, H, w, h, static_cast<int32_t>(state.range(4)), 1, 20, &layout);
    int32_t sheetBytes = 0;
    for (auto _ : state) {
        PackedDib sheet = ComposeSheet(source, W, H, 2, layout);
        benchmark::DoNotOptimize(sheet.block);
        sheetBytes = sheet.blockBytes;
        ReleaseDib(sheet);
    }
    state.SetBytesProcessed(state.iterations() * int64_t{sheetBytes});
    state.counters["copies"] = layout.columns * layout.rows;
    ReleaseDib(source);
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
