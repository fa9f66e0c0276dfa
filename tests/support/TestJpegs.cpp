#include "support/TestJpegs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

Bytes EncodeJpeg(int32_t width, int32_t height, const Bytes& topDownSamples, JpegInput input,
                 JpegCoding coding, const JpegExtras& extras) {
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
    jpeg_set_quality(&info, extras.quality, TRUE);
    if (coding == JpegCoding::Progressive)
        jpeg_simple_progression(&info);
    info.arith_code = coding == JpegCoding::Arithmetic;
    info.dct_method = extras.fastDct ? JDCT_IFAST : JDCT_ISLOW;
    info.restart_interval = coding == JpegCoding::RestartMarkers ? 1 : extras.restartInterval;
    jpeg_start_compress(&info, TRUE);
    if (!extras.iccProfile.empty())
        jpeg_write_icc_profile(&info, extras.iccProfile.data(),
                               static_cast<unsigned>(extras.iccProfile.size()));
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

Bytes EncodePicture(const PackedDib& picture, JpegInput input, JpegCoding coding,
                    const JpegExtras& extras) {
    Bytes bgr = TopDownBgr(picture), samples;
    for (size_t i = 0; i < bgr.size(); i += 3) {
        if (input == JpegInput::Grey)
            samples.push_back(bgr[i + 1]);
        else if (input != JpegInput::Bgr)
            samples.insert(samples.end(), {bgr[i + 2], bgr[i + 1], bgr[i], 255});
    }
    return EncodeJpeg(ImageWidth(picture.block), ImageHeight(picture.block),
                      input == JpegInput::Bgr ? bgr : samples, input, coding, extras);
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

PackedDib DecodeJpeg(const Bytes& stream, bool* ycbcr420, Bytes* iccProfile) {
    if (stream.size() < 4)
        return {};
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors); // a broken stream ends the test program
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream.data(), stream.size());
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    JOCTET* profile = nullptr;
    unsigned int profileBytes = 0;
    if (iccProfile != nullptr && jpeg_read_icc_profile(&info, &profile, &profileBytes))
        iccProfile->assign(profile, profile + profileBytes);
    std::free(profile);
    const jpeg_component_info* c = info.comp_info;
    *ycbcr420 =
        info.jpeg_color_space == JCS_YCbCr && info.num_components == 3 && c[0].h_samp_factor == 2 &&
        c[0].v_samp_factor == 2 &&
        c[1].h_samp_factor * c[1].v_samp_factor * c[2].h_samp_factor * c[2].v_samp_factor == 1;
    info.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&info);
    auto width = static_cast<int32_t>(info.output_width);
    auto height = static_cast<int32_t>(info.output_height);
    PackedDib picture = MakePicture(width, height); // the header and the pad bytes
    while (info.output_scanline < info.output_height) {
        int64_t row = height - 1 - static_cast<int64_t>(info.output_scanline);
        JSAMPROW place = picture.block + InfoHeaderBytes + row * RowStride(width);
        jpeg_read_scanlines(&info, &place, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return picture;
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
