// Composing sheets: an A4 sheet at 300 dpi and a 10000 x 10000 one, each from a photo-sized
// source, with and without copies that overlap; whole, as the program holds them, and a band of
// about a megabyte at a time into one reused buffer, as kafelator-cli writes them.

#include "pack/GridLayout.h"
#include "pack/SheetCompositor.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <vector>

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

// A benchmark's sheet, from its arguments: sheet width, sheet height, source width, source
// height, distance; a margin of 20 on light grey.
struct BenchSheet {
    int32_t W, H;
    PackedDib source;
    SheetLayout layout{};
};

BenchSheet MakeBenchSheet(const benchmark::State& state) {
    auto w = static_cast<int32_t>(state.range(2)), h = static_cast<int32_t>(state.range(3));
    BenchSheet sheet{static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)),
                     MakeSource(w, h)};
    ComputeLayout(sheet.W, sheet.H, w, h, static_cast<int32_t>(state.range(4)), 1, 20,
                  &sheet.layout);
    return sheet;
}

void ComposeSheetBench(benchmark::State& state) {
    auto [W, H, source, layout] = MakeBenchSheet(state);
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

// The same sheets composed band by band into one buffer, whose pages are touched once.
void ComposeBandsBench(benchmark::State& state) {
    auto [W, H, source, layout] = MakeBenchSheet(state);
    SheetRecipe recipe;
    PlanSheet(source, W, H, 2, layout, false, &recipe);
    int64_t stride = RowStride(W), bandRows = std::max<int64_t>((int64_t{1} << 20) / stride, 1);
    std::vector<uint8_t> band(static_cast<size_t>(bandRows * stride));
    for (auto _ : state) {
        for (int64_t first = 0; first < H; first += bandRows)
            ComposeSheetRows(recipe, first, std::min<int64_t>(first + bandRows, H), band.data());
        benchmark::DoNotOptimize(band.data());
    }
    state.SetBytesProcessed(state.iterations() * stride * H);
    ReleaseDib(source);
}

BENCHMARK(ComposeBandsBench)
    ->ArgNames({"W", "H", "w", "h", "D"})
    ->Args({2480, 3508, 600, 800, 50})
    ->Args({10000, 10000, 1200, 1600, 50})
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
