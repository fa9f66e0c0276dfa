// Decode and encode throughput of the JPEG files, in megapixels a second, for a 300 dpi A4 sheet
// and a typical photograph, next to the raw TurboJPEG calls doing the same work on the same
// data: reading the file and decoding it bottom-up into a padded block, or encoding the block at
// 4:2:0 and writing the file. Decoding, the difference is what the codec layer costs; encoding,
// the layer codes a sheet in strips on two threads where the raw call codes it in one run on one.

#include "BenchPictures.h"
#include "image/JpegFile.h"
#include "image/PackedDib.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <turbojpeg.h>
#include <unistd.h>

namespace {

struct Size {
    int32_t width, height;
};
const Size Sheet{2480, 3508}, Photo{600, 800};
constexpr int32_t Quality = 75;

std::string folder;

std::string JpegName(const Size& size) {
    return folder + "/" + std::to_string(size.width) + "x" + std::to_string(size.height) + ".jpg";
}

void CountPixels(benchmark::State& state, const Size& size) {
    double pixels = static_cast<double>(size.width) * size.height;
    state.counters["Mpx/s"] = benchmark::Counter(
        pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

void ReadThroughLayer(benchmark::State& state, Size size) {
    std::string name = JpegName(size);
    for (auto _ : state) {
        PackedDib image = ReadJpegFile(name.c_str());
        if (image.block == nullptr)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.block);
        ReleaseDib(image);
    }
    CountPixels(state, size);
}

void ReadRaw(benchmark::State& state, Size size) {
    std::string name = JpegName(size);
    for (auto _ : state) {
        FILE* file = std::fopen(name.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        long fileBytes = std::ftell(file);
        std::fseek(file, 0, SEEK_SET);
        auto* stream = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(fileBytes)));
        size_t got = std::fread(stream, 1, static_cast<size_t>(fileBytes), file);
        std::fclose(file);
        tjhandle decoder = tjInitDecompress();
        int width = 0, height = 0, sampling = 0, colorspace = 0;
        tjDecompressHeader3(decoder, stream, got, &width, &height, &sampling, &colorspace);
        int stride = static_cast<int>(RowStride(width));
        auto* block = static_cast<unsigned char*>(
            std::malloc(static_cast<size_t>(InfoHeaderBytes + int64_t{stride} * height)));
        if (tjDecompress2(decoder, stream, got, block + InfoHeaderBytes, width, stride, height,
                          TJPF_BGR, TJFLAG_BOTTOMUP) != 0)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(block);
        std::free(block);
        tjDestroy(decoder);
        std::free(stream);
    }
    CountPixels(state, size);
}

void WriteThroughLayer(benchmark::State& state, Size size) {
    PackedDib picture = MakeGrainyPicture(size.width, size.height);
    std::string name = folder + "/layer.jpg";
    for (auto _ : state)
        if (WriteJpegFile(name.c_str(), picture, Quality, {}) != 1)
            state.SkipWithError("encode failed");
    ReleaseDib(picture);
    CountPixels(state, size);
}

void WriteRaw(benchmark::State& state, Size size) {
    PackedDib picture = MakeGrainyPicture(size.width, size.height);
    std::string name = folder + "/raw.jpg";
    int stride = static_cast<int>(RowStride(size.width));
    for (auto _ : state) {
        tjhandle encoder = tjInitCompress();
        unsigned char* stream = nullptr;
        unsigned long streamBytes = 0;
        if (tjCompress2(encoder, picture.block + InfoHeaderBytes, size.width, stride, size.height,
                        TJPF_BGR, &stream, &streamBytes, TJSAMP_420, Quality, TJFLAG_BOTTOMUP) != 0)
            state.SkipWithError("encode failed");
        FILE* file = std::fopen(name.c_str(), "wb");
        std::fwrite(stream, 1, streamBytes, file);
        std::fclose(file);
        tjFree(stream);
        tjDestroy(encoder);
    }
    ReleaseDib(picture);
    CountPixels(state, size);
}

BENCHMARK_CAPTURE(ReadThroughLayer, sheet, Sheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadRaw, sheet, Sheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadThroughLayer, photo, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ReadRaw, photo, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteThroughLayer, sheet, Sheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteRaw, sheet, Sheet)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteThroughLayer, photo, Photo)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteRaw, photo, Photo)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/kafelator-bench-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        return 1;
    folder = pattern;
    for (const Size& size : {Sheet, Photo}) {
        PackedDib picture = MakeGrainyPicture(size.width, size.height);
        int written = WriteJpegFile(JpegName(size).c_str(), picture, Quality, {});
        ReleaseDib(picture);
        if (written != 1)
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const char* file : {"layer.jpg", "raw.jpg"})
        std::remove((folder + "/" + file).c_str());
    for (const Size& size : {Sheet, Photo})
        std::remove(JpegName(size).c_str());
    rmdir(folder.c_str());
    return 0;
}
