#include "support/TestPngs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <zlib.h>

namespace {

// The channel count of a colour type.
int PngChannels(int colourType) {
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

void PutBe32(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// One scan line of the given pixels, its filter byte (none) first, samples packed MSB first.
Bytes PackedLine(const PngForm& form, const PngSamples& samples, int32_t y, int32_t x0, int32_t dx,
                 int32_t width) {
    Bytes line = {0};
    int channels = PngChannels(form.colourType);
    uint32_t bits = 0, count = 0;
    for (int32_t x = x0; x < width; x += dx) {
        for (int c = 0; c < channels; ++c) {
            uint32_t sample = samples(x, y, c);
            if (form.bitDepth == 16) {
                line.push_back(static_cast<uint8_t>(sample >> 8));
                line.push_back(static_cast<uint8_t>(sample));
                continue;
            }
            bits = bits << form.bitDepth | sample;
            count += static_cast<uint32_t>(form.bitDepth);
            if (count == 8) {
                line.push_back(static_cast<uint8_t>(bits));
                bits = count = 0;
            }
        }
    }
    if (count != 0)
        line.push_back(static_cast<uint8_t>(bits << (8 - count)));
    return line;
}

Bytes PngChunk(const char type[4], const Bytes& data) {
    // Length, type, data and checksum, laid out in a block of their size at once: grown piece by
    // piece, g++ 12 at -O3 takes the growing for writes past the end.
    Bytes chunk(8 + data.size());
    uint32_t length = static_cast<uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) {
        chunk[static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (24 - 8 * i));
        chunk[static_cast<size_t>(4 + i)] = static_cast<uint8_t>(type[i]);
    }
    std::copy(data.begin(), data.end(), chunk.begin() + 8);
    PutBe32(chunk,
            static_cast<uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4))));
    return chunk;
}

Bytes StoredZlib(const Bytes& data) {
    Bytes out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t block = std::min<size_t>(data.size() - at, 65535);
        bool last = at + block == data.size();
        out.push_back(last ? 1 : 0);
        out.insert(out.end(), {static_cast<uint8_t>(block), static_cast<uint8_t>(block >> 8),
                               static_cast<uint8_t>(~block), static_cast<uint8_t>(~block >> 8)});
        out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(at),
                   data.begin() + static_cast<ptrdiff_t>(at + block));
        at += block;
    } while (at < data.size());
    PutBe32(out, static_cast<uint32_t>(adler32(1, data.data(), static_cast<uInt>(data.size()))));
    return out;
}

} // namespace

Bytes MakePng(int32_t width, int32_t height, const PngForm& form, const PngSamples& samples) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBe32(header, static_cast<uint32_t>(width));
    PutBe32(header, static_cast<uint32_t>(height));
    header.insert(header.end(),
                  {static_cast<uint8_t>(form.bitDepth), static_cast<uint8_t>(form.colourType), 0, 0,
                   static_cast<uint8_t>(form.interlaced ? 1 : 0)});
    auto add = [&png](const char* type, const Bytes& data) {
        Bytes chunk = PngChunk(type, data);
        png.insert(png.end(), chunk.begin(), chunk.end());
    };
    add("IHDR", header);
    if (!form.iccProfile.empty()) {
        Bytes iccp = {'p', 'r', 'o', 'f', 'i', 'l', 'e', 0, 0};
        Bytes deflated = StoredZlib(form.iccProfile);
        iccp.insert(iccp.end(), deflated.begin(), deflated.end());
        add("iCCP", iccp);
    }
    if (!form.palette.empty())
        add("PLTE", form.palette);
    if (!form.transparency.empty())
        add("tRNS", form.transparency);
    // Adam7's seven passes of (x0, y0, dx, dy) after the one pass of every pixel without it.
    static const int32_t Passes[8][4] = {{0, 0, 1, 1}, {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8},
                                         {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    Bytes lines;
    for (int pass = form.interlaced ? 1 : 0; pass < (form.interlaced ? 8 : 1); ++pass) {
        const int32_t* p = Passes[pass];
        if (p[0] >= width)
            continue; // a pass with no columns has no lines
        for (int32_t y = p[1]; y < height; y += p[3]) {
            Bytes line = PackedLine(form, samples, y, p[0], p[2], width);
            lines.insert(lines.end(), line.begin(), line.end());
        }
    }
    add("IDAT", StoredZlib(lines));
    add("IEND", {});
    return png;
}
