// sheet-check: the two things bench/compare.sh needs from the program itself before it times
// other tools at the sheet job.
//
//     sheet-check layout W H w h DISTANCE MARGIN
//         prints the grid as shell assignments, with the top edge counted from the top as other
//         tools count it: columns rows left top pitchX pitchY
//     sheet-check compare OURS OTHER TOLERANCE
//         loads two sheets (BMP with a 40-byte header, or JPEG) and passes when they have the same
//         size and the mean luma of no 16 x 16 tile differs by more than TOLERANCE (0: byte for
//         byte). A copy one pixel off, a missing copy or another background fails even for JPEG
//         files, whose tile means differ by a fraction of a grey level between encoders.

#include "image/PackedDib.h"
#include "image/SourceImage.h"
#include "pack/GridLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int Tile = 16;

int PrintLayout(char** argv) {
    int32_t values[6];
    for (int i = 0; i < 6; ++i)
        values[i] = static_cast<int32_t>(std::strtol(argv[i], nullptr, 10));
    auto [W, H, w, h, distance, margin] = values;
    SheetLayout layout{};
    if (ComputeLayout(W, H, w, h, distance, 1, margin, &layout) != LayoutVerdict::Fits) {
        std::fputs("sheet-check: the source does not fit on the sheet\n", stderr);
        return 1;
    }
    int64_t pitchY = int64_t{h} + layout.spacingY;
    int64_t top = H - layout.originY - (layout.rows - 1) * pitchY - h;
    std::printf("columns=%d rows=%d left=%d top=%lld pitchX=%d pitchY=%lld\n", layout.columns,
                layout.rows, layout.originX, static_cast<long long>(top), w + layout.spacingX,
                static_cast<long long>(pitchY));
    return 0;
}

// How far apart two pictures of the same size are: with exact set, the number of pixel bytes
// that differ; otherwise the largest difference in mean luma of a 16 x 16 tile, one 4:2:0 MCU.
// Tile means are what two JPEG encoders agree on (their DCT rounding and chroma filters differ,
// their luma averages hardly), and what a misplaced copy or another background changes.
double Distance(const PackedDib& a, const PackedDib& b, int64_t width, int64_t height, bool exact) {
    int64_t stride = RowStride(width);
    const uint8_t* pa = a.block + InfoHeaderBytes;
    const uint8_t* pb = b.block + InfoHeaderBytes;
    int64_t differing = 0;
    double worstMean = 0;
    for (int64_t ty = 0; ty < height; ty += Tile) {
        for (int64_t tx = 0; tx < width; tx += Tile) {
            int64_t lumaSum = 0, count = 0; // luma in thousandths: 114 B + 587 G + 299 R
            for (int64_t y = ty; y < std::min(ty + Tile, height); ++y) {
                for (int64_t x = tx; x < std::min(tx + Tile, width); ++x, ++count) {
                    const uint8_t* p = pa + y * stride + 3 * x;
                    const uint8_t* q = pb + y * stride + 3 * x;
                    lumaSum += 114 * (p[0] - q[0]) + 587 * (p[1] - q[1]) + 299 * (p[2] - q[2]);
                    differing += (p[0] != q[0]) + (p[1] != q[1]) + (p[2] != q[2]);
                }
            }
            worstMean = std::max(worstMean, std::abs(static_cast<double>(lumaSum)) / 1000 /
                                                static_cast<double>(count));
        }
    }
    return exact ? static_cast<double>(differing) : worstMean;
}

int CompareSheets(const char* ours, const char* other, double tolerance) {
    PackedDib a = LoadPackableSource(ours, {}).image, b = LoadPackableSource(other, {}).image;
    int result = 1;
    if (!IsPackablePicture(a) || !IsPackablePicture(b)) {
        std::fprintf(stderr, "sheet-check: %s is not a 24-bit picture this program reads\n",
                     IsPackablePicture(a) ? other : ours);
    } else if (ImageWidth(a.block) != ImageWidth(b.block) ||
               ImageHeight(a.block) != ImageHeight(b.block)) {
        std::fprintf(stderr, "sheet-check: %s is %d x %d, not %d x %d\n", other,
                     ImageWidth(b.block), ImageHeight(b.block), ImageWidth(a.block),
                     ImageHeight(a.block));
    } else {
        bool exact = tolerance <= 0;
        double distance = Distance(a, b, ImageWidth(a.block), ImageHeight(a.block), exact);
        result = distance <= tolerance ? 0 : 1;
        std::fprintf(result == 0 ? stdout : stderr, "sheet-check: %s %s %s: %s %.4g\n", other,
                     result == 0 ? "matches" : "differs from", ours,
                     exact ? "differing bytes" : "worst tile luma", distance);
    }
    ReleaseDib(a);
    ReleaseDib(b);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 8 && std::strcmp(argv[1], "layout") == 0)
        return PrintLayout(argv + 2);
    if (argc == 5 && std::strcmp(argv[1], "compare") == 0)
        return CompareSheets(argv[2], argv[3], std::strtod(argv[4], nullptr));
    std::fputs("usage: sheet-check layout W H w h DISTANCE MARGIN\n"
               "       sheet-check compare OURS OTHER TOLERANCE\n",
               stderr);
    return 2;
}
