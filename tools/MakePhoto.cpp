// make-photo: writes a photo-like test picture, a head-and-shoulders figure before a graded
// backdrop, with cloth texture and film grain, so that packing, codecs and benchmarks work on
// something closer to a photograph than flat colour. The same arguments always give the same
// bytes. An OUTPUT ending in ".jpg" is written as a JPEG file at quality 90, as a camera would
// save it; any other name as a 24-bit BMP file.
//
//     make-photo WIDTH HEIGHT OUTPUT.bmp|OUTPUT.jpg [SEED]

#include "image/BmpFile.h"
#include "image/JpegFile.h"
#include "image/PackedDib.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Colour {
    double blue, green, red;
};

Colour Mix(Colour a, Colour b, double t) {
    return {a.blue + (b.blue - a.blue) * t, a.green + (b.green - a.green) * t,
            a.red + (b.red - a.red) * t};
}

uint8_t ToByte(double value) {
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : std::lround(value));
}

// The colour at (u, v), both 0..1 from the lower-left corner, before grain.
Colour Scene(double u, double v, double aspect) {
    Colour backdropLow{150, 120, 95}, backdropHigh{215, 190, 170};
    Colour colour = Mix(backdropLow, backdropHigh, v);
    colour = Mix(colour, {240, 235, 230}, 0.25 * std::exp(-((u - 0.3) * (u - 0.3)) * 8));

    double x = (u - 0.5) * aspect, shoulders = 0.30 - 0.9 * x * x;
    if (v < shoulders) { // jacket with a woven texture
        double weave = 0.5 + 0.5 * std::sin(u * 420) * std::sin(v * 380);
        colour = Mix(Colour{70, 45, 40}, Colour{95, 70, 60}, weave);
        colour = Mix(colour, Colour{20, 15, 15}, (shoulders - v) * 1.5);
    }
    double dx = x / 0.19, dy = (v - 0.55) / 0.26;
    double radius = dx * dx + dy * dy;
    if (radius < 1) { // face lit from the upper left
        double light = 0.75 + 0.25 * (-dx * 0.6 + dy * 0.8) - 0.2 * radius;
        colour = Mix(Colour{95, 125, 175}, Colour{160, 190, 235}, light);
        if (dy > 0.55) // hair
            colour = Mix(colour, Colour{25, 35, 50}, std::fmin(1.0, (dy - 0.55) * 4));
    }
    return colour;
}

constexpr int32_t CameraQuality = 90;

bool EndsWith(const char* text, const char* ending) {
    size_t length = std::strlen(text), endingLength = std::strlen(ending);
    return length >= endingLength && std::strcmp(text + length - endingLength, ending) == 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fputs("usage: make-photo WIDTH HEIGHT OUTPUT.bmp|OUTPUT.jpg [SEED]\n", stderr);
        return 2;
    }
    long width = std::strtol(argv[1], nullptr, 10), height = std::strtol(argv[2], nullptr, 10);
    uint32_t seed = argc == 5 ? static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)) : 1;
    if (width < 1 || height < 1 || width > 20000 || height > 20000) {
        std::fputs("make-photo: WIDTH and HEIGHT must be 1 to 20000\n", stderr);
        return 2;
    }
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    if (image.block == nullptr)
        return 1;
    WriteInfoHeader(image.block, static_cast<int32_t>(width), static_cast<int32_t>(height), 0);
    double aspect = static_cast<double>(width) / static_cast<double>(height);
    for (long row = 0; row < height; ++row) {
        uint8_t* pixel = image.block + InfoHeaderBytes + row * stride;
        for (long column = 0; column < width; ++column, pixel += 3) {
            Colour colour =
                Scene((static_cast<double>(column) + 0.5) / static_cast<double>(width),
                      (static_cast<double>(row) + 0.5) / static_cast<double>(height), aspect);
            seed = seed * 1664525u + 1013904223u; // grain, shared by the three channels
            double grain = static_cast<double>(seed >> 24) / 255.0 * 16 - 8;
            pixel[0] = ToByte(colour.blue + grain);
            pixel[1] = ToByte(colour.green + grain);
            pixel[2] = ToByte(colour.red + grain);
        }
        for (int64_t pad = 3 * width; pad < stride; ++pad)
            image.block[InfoHeaderBytes + row * stride + pad] = 0;
    }
    int written = EndsWith(argv[3], ".jpg") ? WriteJpegFile(argv[3], image, CameraQuality, {})
                                            : WriteBmpFile(argv[3], image);
    ReleaseDib(image);
    return written ? 0 : 1;
}
