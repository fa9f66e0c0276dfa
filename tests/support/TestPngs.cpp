#include "support/TestPngs.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// The channel count of a colour type.
int PngChannels(int colourType) {
    return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1;
}

void PutBe32(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Crc32(const uint8_t* bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc & 1 ? 0xEDB88320 ^ (crc >> 1) : crc >> 1;
    }
    return crc ^ 0xFFFFFFFF;
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
    Bytes chunk;
    PutBe32(chunk, static_cast<uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    PutBe32(chunk, Crc32(chunk.data() + 4, chunk.size() - 4));
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
    uint32_t a = 1, b = 0;
    for (uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(out, b << 16 | a);
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
    // Adam7: seven passes of (x0, y0, dx, dy); one pass of every pixel without interlacing.
    static const int32_t Adam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                        {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static const int32_t Whole[1][4] = {{0, 0, 1, 1}};
    Bytes lines;
    int passes = form.interlaced ? 7 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int32_t* p = form.interlaced ? Adam7[pass] : Whole[0];
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
