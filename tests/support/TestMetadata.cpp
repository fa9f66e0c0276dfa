#include "support/TestMetadata.h"

#include "support/TestJpegs.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <jpeglib.h>

Bytes ExifPayload(int orientation, bool bigEndian) {
    auto put16 = [bigEndian](Bytes& out, uint32_t v) {
        out.insert(out.end(), bigEndian
                                  ? std::initializer_list<uint8_t>{uint8_t(v >> 8), uint8_t(v)}
                                  : std::initializer_list<uint8_t>{uint8_t(v), uint8_t(v >> 8)});
    };
    auto put32 = [&](Bytes& out, uint32_t v) {
        put16(out, bigEndian ? v >> 16 : v & 0xFFFF);
        put16(out, bigEndian ? v & 0xFFFF : v >> 16);
    };
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0};
    exif.insert(exif.end(), bigEndian ? std::initializer_list<uint8_t>{'M', 'M'}
                                      : std::initializer_list<uint8_t>{'I', 'I'});
    put16(exif, 42);
    put32(exif, 8);
    put16(exif, 2);      // two entries
    put16(exif, 0x010F); // Make, ASCII, 4 bytes held in place
    put16(exif, 2);
    put32(exif, 4);
    exif.insert(exif.end(), {'C', 'a', 'm', 0});
    put16(exif, 0x0112); // Orientation, one SHORT
    put16(exif, 3);
    put32(exif, 1);
    put16(exif, static_cast<uint32_t>(orientation));
    put16(exif, 0);
    put32(exif, 0); // no next directory
    return exif;
}

Bytes WithSegment(Bytes stream, uint8_t marker, const Bytes& payload) {
    size_t place = 4 + (stream[4] << 8 | stream[5]);
    Bytes segment = {0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    stream.insert(stream.begin() + static_cast<ptrdiff_t>(place), segment.begin(), segment.end());
    return stream;
}

Bytes EncodeWithProfile(const PackedDib& picture, const Bytes& profile) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* stream = nullptr;
    unsigned long streamBytes = 0;
    jpeg_mem_dest(&info, &stream, &streamBytes);
    info.image_width = static_cast<JDIMENSION>(ImageWidth(picture.block));
    info.image_height = static_cast<JDIMENSION>(ImageHeight(picture.block));
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_start_compress(&info, TRUE);
    jpeg_write_icc_profile(&info, profile.data(), static_cast<unsigned>(profile.size()));
    Bytes rows = TopDownBgr(picture);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = rows.data() + info.next_scanline * info.image_width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes result(stream, stream + streamBytes);
    jpeg_destroy_compress(&info);
    std::free(stream);
    return result;
}

Bytes ReferenceProfile(const Bytes& stream) {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream.data(), stream.size());
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    JOCTET* profile = nullptr;
    unsigned int bytes = 0;
    Bytes result;
    if (jpeg_read_icc_profile(&info, &profile, &bytes))
        result.assign(profile, profile + bytes);
    std::free(profile);
    jpeg_destroy_decompress(&info);
    return result;
}
