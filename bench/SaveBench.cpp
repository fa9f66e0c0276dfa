// The program's Save of a composed A4 sheet at 300 dpi, in each of the four save formats:
// WriteBmpFile, and WriteJpegFile at qualities 75, 50 and 15, through WriteInSaveFormat as the
// preview calls it. The sheet holds twelve copies of a grainy 600 x 800 picture on grey, as the A4
// jobs of compare.sh do. SaveSheet writes a new file, as saving under a new name does, and removes
// it outside the timing; ReplaceSheet saves over the file of the save before, as saving under the
// same name again does.

#include "BenchPictures.h"
#include "image/SaveFormats.h"
#include "pack/SheetBuilding.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string folder;
PackedDib sheet;

void SaveSheet(benchmark::State& state) {
    auto saveMode = static_cast<int32_t>(state.range(0));
    std::string name = folder + (saveMode == 0 ? "/sheet.bmp" : "/sheet.jpg");
    for (auto _ : state) {
        if (WriteInSaveFormat(name.c_str(), sheet, saveMode, {}) != 1)
            state.SkipWithError("save failed");
        state.PauseTiming();
        std::remove(name.c_str());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{sheet.blockBytes});
}

BENCHMARK(SaveSheet)->ArgName("format")->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

void ReplaceSheet(benchmark::State& state) {
    auto saveMode = static_cast<int32_t>(state.range(0));
    std::string name = folder + (saveMode == 0 ? "/replaced.bmp" : "/replaced.jpg");
    for (auto _ : state)
        if (WriteInSaveFormat(name.c_str(), sheet, saveMode, {}) != 1)
            state.SkipWithError("save failed");
    std::remove(name.c_str());
    state.SetBytesProcessed(state.iterations() * int64_t{sheet.blockBytes});
}

BENCHMARK(ReplaceSheet)->ArgName("format")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

bool ComposeA4Sheet() {
    PackedDib source = MakeGrainyPicture(600, 800);
    sheet = BuildSheet(source, {2480, 3508, 50, 20, 1, 2}).sheet;
    ReleaseDib(source);
    return sheet.block != nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/kafelator-save-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr || !ComposeA4Sheet())
        return 1;
    folder = pattern;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReleaseDib(sheet);
    rmdir(folder.c_str());
    return 0;
}
