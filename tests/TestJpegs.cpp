#include "TestJpegs.h"

#include "image/PackedDib.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

Bytes EncodeJpeg(int32_t width, int32_t height, const Bytes& topDownSamples, JpegInput input,
                 JpegCoding coding, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // the inputs are sound; a failure ends the test program
    jpeg_create_compress(&info);
    unsigned char* stream = nullptr;
    unsigned long streamBytes = 0;
    jpeg_mem_dest(&info, &stream, &streamBytes);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    switch (input) {
    case JpegInput::Bgr:
        info.input_components = 3;
        info.in_color_space = JCS_EXT_BGR;
        break;
    case JpegInput::Grey:
        info.input_components = 1;
        info.in_color_space = JCS_GRAYSCALE;
        break;
    case JpegInput::Cmyk:
    case JpegInput::Ycck:
        info.input_components = 4;
        info.in_color_space = JCS_CMYK;
        break;
    }
    jpeg_set_defaults(&info);
    if (input == JpegInput::Cmyk)
        jpeg_set_colorspace(&info, JCS_CMYK);
    if (input == JpegInput::Ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, quality, TRUE);
    if (coding == JpegCoding::Progressive)
        jpeg_simple_progression(&info);
    if (coding == JpegCoding::Arithmetic)
        info.arith_code = TRUE;
    if (coding == JpegCoding::RestartMarkers)
        info.restart_interval = 1; // a marker after every block group
    jpeg_start_compress(&info, TRUE);
    size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(info.input_components);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(topDownSamples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes result(stream, stream + streamBytes);
    jpeg_destroy_compress(&info);
    std::free(stream);
    return result;
}

Bytes TopDownBgr(const PackedDib& picture) {
    int32_t width = ImageWidth(picture.block), height = ImageHeight(picture.block);
    int64_t stride = RowStride(width);
    Bytes samples;
    for (int32_t row = height - 1; row >= 0; --row) {
        const uint8_t* pixels = picture.block + InfoHeaderBytes + row * stride;
        samples.insert(samples.end(), pixels, pixels + 3 * width);
    }
    return samples;
}

PackedDib MakeSmoothPicture(int32_t width, int32_t height) {
    int64_t stride = RowStride(width);
    PackedDib image = AllocateDib(InfoHeaderBytes + stride * height);
    WriteInfoHeader(image.block, width, height, 0);
    auto level = [](int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); };
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * stride;
        std::fill(row, row + stride, uint8_t{0xEE});
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = level(30 + 4 * x);
            row[3 * x + 1] = level(40 + 5 * y);
            row[3 * x + 2] = level(220 - 2 * x - 3 * y);
        }
    }
    return image;
}

bool SetFrameSize(Bytes& stream, uint16_t width, uint16_t height) {
    size_t place = 2; // after the start-of-image marker
    while (place + 9 <= stream.size() && stream[place] == 0xFF) {
        uint8_t marker = stream[place + 1];
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            stream[place + 5] = static_cast<uint8_t>(height >> 8);
            stream[place + 6] = static_cast<uint8_t>(height);
            stream[place + 7] = static_cast<uint8_t>(width >> 8);
            stream[place + 8] = static_cast<uint8_t>(width);
            return true;
        }
        if (marker == 0xDA) // start of scan: no frame header before it
            return false;
        place += 2 + (size_t{stream[place + 2]} << 8 | stream[place + 3]);
    }
    return false;
}

int LargestPixelDifference(const PackedDib& one, const PackedDib& other) {
    int32_t width = ImageWidth(one.block), height = ImageHeight(one.block);
    int64_t stride = RowStride(width);
    int largest = 0;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* a = one.block + InfoHeaderBytes + y * stride;
        const uint8_t* b = other.block + InfoHeaderBytes + y * stride;
        for (int32_t i = 0; i < 3 * width; ++i)
            largest = std::max(largest, std::abs(a[i] - b[i]));
    }
    return largest;
}
