// floor-probe: the least this machine needs for a sheet job, timed beside the job itself by
// bench/compare.sh. It does only what no way of doing the job can leave out, each step in the
// plainest fast way: start a process, read and decode the source, touch every page of the sheet
// once (each byte written once, grey and copies, into huge pages), encode the sheet on two
// threads with the codec library's own one-call encoder (two halves, the job's quality, 4:2:0)
// and write the bytes to a new file. None of the job's checks, strips, markers or safe
// replacing; its JPEG output is two streams one after the other, no file to open.
//
//     floor-probe SOURCE W H DISTANCE MARGIN GREY QUALITY OUTPUT     (QUALITY 0: a BMP sheet)

#include "pack/GridLayout.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <thread>
#include <turbojpeg.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int64_t HeaderBytes = 54; // a BMP file's headers before its rows
constexpr size_t HugePageBytes = size_t{2} << 20;

int64_t Stride(int64_t width) {
    return (3 * width + 3) / 4 * 4;
}

bool ReadSource(const char* name, std::vector<uint8_t>* pixels, int* width, int* height) {
    FILE* file = std::fopen(name, "rb");
    if (file == nullptr)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t chunk[1 << 16];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    tjhandle decoder = tjInitDecompress();
    int subsampling = 0, colorspace = 0;
    bool read = tjDecompressHeader3(decoder, bytes.data(), bytes.size(), width, height,
                                    &subsampling, &colorspace) == 0;
    if (read) {
        pixels->resize(static_cast<size_t>(Stride(*width) * *height));
        read = tjDecompress2(decoder, bytes.data(), bytes.size(), pixels->data(), *width,
                             static_cast<int>(Stride(*width)), *height, TJPF_BGR,
                             TJFLAG_BOTTOMUP) == 0;
    }
    tjDestroy(decoder);
    return read;
}

// Every byte of the sheet's rows written once, row by row: grey, and the source where copies land
// (apart, as at the jobs' distance).
void Compose(uint8_t* rows, int64_t W, int64_t H, uint8_t grey, const uint8_t* source, int64_t w,
             int64_t h, const SheetLayout& layout) {
    int64_t stride = Stride(W), sourceStride = Stride(w);
    for (int64_t r = 0; r < H; ++r) {
        uint8_t* row = rows + r * stride;
        int64_t above = r - layout.originY, pitch = h + layout.spacingY;
        int64_t k = above >= 0 ? above / pitch : -1, y = above - k * pitch;
        uint8_t* written = row;
        if (k >= 0 && k < layout.rows && y < h) {
            for (int64_t l = 0; l < layout.columns; ++l) {
                uint8_t* left = row + 3 * (layout.originX + l * (w + layout.spacingX));
                std::memset(written, grey, static_cast<size_t>(left - written));
                std::memcpy(left, source + y * sourceStride, static_cast<size_t>(3 * w));
                written = left + 3 * w;
            }
        }
        std::memset(written, grey, static_cast<size_t>(row + stride - written));
    }
}

struct Half {
    const uint8_t* rows;
    int height;
    unsigned char* stream = nullptr;
    unsigned long bytes = 0;
};

// Into one buffer of the worst-case size, whose untouched pages cost nothing.
void EncodeHalf(Half* half, int width, int stride, int quality) {
    tjhandle encoder = tjInitCompress();
    half->bytes = tjBufSize(width, half->height, TJSAMP_420);
    half->stream = static_cast<unsigned char*>(std::malloc(half->bytes));
    if (half->stream == nullptr ||
        tjCompress2(encoder, half->rows, width, stride, half->height, TJPF_BGR, &half->stream,
                    &half->bytes, TJSAMP_420, quality, TJFLAG_BOTTOMUP | TJFLAG_NOREALLOC) != 0)
        half->bytes = 0;
    tjDestroy(encoder);
}

bool WriteAll(int file, const uint8_t* bytes, int64_t count) {
    for (ssize_t done; count > 0; bytes += done, count -= done)
        if ((done = write(file, bytes, static_cast<size_t>(count))) <= 0)
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 9) {
        std::fputs("usage: floor-probe SOURCE W H DISTANCE MARGIN GREY QUALITY OUTPUT\n", stderr);
        return 2;
    }
    int W = std::atoi(argv[2]), H = std::atoi(argv[3]), quality = std::atoi(argv[7]);
    std::vector<uint8_t> source;
    int w = 0, h = 0;
    SheetLayout layout{};
    if (!ReadSource(argv[1], &source, &w, &h) ||
        ComputeLayout(W, H, w, h, std::atoi(argv[4]), 1, std::atoi(argv[5]), &layout) !=
            LayoutVerdict::Fits)
        return 1;
    int64_t stride = Stride(W), fileBytes = HeaderBytes + stride * H;
    size_t rounded =
        (static_cast<size_t>(fileBytes) + HugePageBytes - 1) / HugePageBytes * HugePageBytes;
    auto* sheet = static_cast<uint8_t*>(std::aligned_alloc(HugePageBytes, rounded));
    if (sheet == nullptr)
        return 1;
    madvise(sheet, rounded, MADV_HUGEPAGE);
    std::memset(sheet, 0, HeaderBytes); // the rows lie where they lie in the file
    Compose(sheet + HeaderBytes, W, H, static_cast<uint8_t>(std::atoi(argv[6])), source.data(), w,
            h, layout);
    int file = open(argv[8], O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = file >= 0;
    if (quality == 0) {
        written = written && WriteAll(file, sheet, fileBytes);
    } else {
        int lower = H / 2;
        Half halves[2] = {{sheet + HeaderBytes + stride * lower, H - lower},
                          {sheet + HeaderBytes, lower}};
        std::thread second(EncodeHalf, &halves[1], W, static_cast<int>(stride), quality);
        EncodeHalf(&halves[0], W, static_cast<int>(stride), quality);
        second.join();
        for (Half& half : halves) {
            written = written && WriteAll(file, half.stream, static_cast<int64_t>(half.bytes));
            std::free(half.stream);
        }
    }
    written = file >= 0 && close(file) == 0 && written;
    std::free(sheet);
    return written ? 0 : 1;
}
