#include "support/TestJpegs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

Bytes EncodeJpeg(int32_t width, int32_t height, const Bytes& topDownSamples, JpegInput input,
                 JpegCoding coding) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // the inputs are sound; a failure ends the test program
    jpeg_create_compress(&info);
    unsigned char* stream = nullptr;
    unsigned long streamBytes = 0;
    jpeg_mem_dest(&info, &stream, &streamBytes);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = input == JpegInput::Bgr ? 3 : input == JpegInput::Grey ? 1 : 4;
    info.in_color_space = input == JpegInput::Bgr    ? JCS_EXT_BGR
                          : input == JpegInput::Grey ? JCS_GRAYSCALE
                                                     : JCS_CMYK;
    jpeg_set_defaults(&info); // YCbCr with 4:2:0 chroma, grey or CMYK as given
    if (input == JpegInput::Ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    jpeg_set_quality(&info, 95, TRUE);
    if (coding == JpegCoding::Progressive)
        jpeg_simple_progression(&info);
    info.arith_code = coding == JpegCoding::Arithmetic;
    info.restart_interval = coding == JpegCoding::RestartMarkers; // after every block group
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(info.input_components);
        auto* row = const_cast<JSAMPLE*>(topDownSamples.data() + info.next_scanline * rowBytes);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes result(stream, stream + streamBytes);
    jpeg_destroy_compress(&info);
    std::free(stream);
    return result;
}

Bytes EncodePicture(const PackedDib& picture, JpegInput input, JpegCoding coding) {
    Bytes bgr = TopDownBgr(picture), samples;
    for (size_t i = 0; i < bgr.size(); i += 3) {
        if (input == JpegInput::Grey)
            samples.push_back(bgr[i + 1]);
        else if (input != JpegInput::Bgr)
            samples.insert(samples.end(), {bgr[i + 2], bgr[i + 1], bgr[i], 255});
    }
    return EncodeJpeg(ImageWidth(picture.block), ImageHeight(picture.block),
                      input == JpegInput::Bgr ? bgr : samples, input, coding);
}

Bytes TopDownBgr(const PackedDib& picture) {
    int32_t width = ImageWidth(picture.block), height = ImageHeight(picture.block);
    Bytes samples;
    for (int32_t row = height - 1; row >= 0; --row) {
        const uint8_t* pixels = picture.block + InfoHeaderBytes + row * RowStride(width);
        samples.insert(samples.end(), pixels, pixels + 3 * width);
    }
    return samples;
}

PackedDib MakeSmoothPicture(int32_t width, int32_t height) {
    PackedDib image = MakePicture(width, height); // its pad bytes; the pixels are replaced
    auto level = [](int32_t value) { return static_cast<uint8_t>(std::clamp(value, 0, 255)); };
    for (int32_t y = 0; y < height; ++y) {
        uint8_t* row = image.block + InfoHeaderBytes + y * RowStride(width);
        for (int32_t x = 0; x < width; ++x) {
            row[3 * x] = level(30 + 4 * x);
            row[3 * x + 1] = level(40 + 5 * y);
            row[3 * x + 2] = level(220 - 2 * x - 3 * y);
        }
    }
    return image;
}

int LargestPixelDifference(const PackedDib& one, const PackedDib& other) {
    if (one.block == nullptr || other.block == nullptr)
        return 256; // more than any two bytes differ
    Bytes a = TopDownBgr(one), b = TopDownBgr(other);
    if (a.size() != b.size())
        return 256;
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i)
        largest = std::max(largest, std::abs(a[i] - b[i]));
    return largest;
}
