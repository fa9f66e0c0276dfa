#include "support/TestMetadata.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

Bytes ExifPayload(int orientation, bool bigEndian) {
    // Numbers of 16 bits (w), 32 bits (d) or 4 text bytes (t), in the payload's order.
    const struct {
        char kind;
        uint32_t value;
    } fields[] = {{'w', 42},
                  {'d', 8},
                  {'w', 2}, // magic, IFD0 offset, two entries
                  {'w', 0x010F},
                  {'w', 2},
                  {'d', 4}, // Make, ASCII, 4 bytes held in place
                  {'t', 0},
                  {'w', 0x0112}, // "Cam\0", Orientation,
                  {'w', 3},
                  {'d', 1}, // one SHORT
                  {'w', static_cast<uint32_t>(orientation)},
                  {'w', 0},
                  {'d', 0}}; // no next directory
    Bytes exif(8);
    const char prefix[] = "Exif\0\0MM";
    std::copy(prefix, prefix + 8, exif.begin());
    if (!bigEndian)
        exif[6] = exif[7] = 'I';
    for (const auto& field : fields) {
        if (field.kind == 't') {
            for (char c : {'C', 'a', 'm', '\0'})
                exif.push_back(static_cast<uint8_t>(c));
            continue;
        }
        int bytes = field.kind == 'w' ? 2 : 4;
        for (int i = 0; i < bytes; ++i) {
            int shift = 8 * (bigEndian ? bytes - 1 - i : i);
            exif.push_back(static_cast<uint8_t>(field.value >> shift));
        }
    }
    return exif;
}

Bytes WithSegment(Bytes stream, uint8_t marker, const Bytes& payload) {
    size_t place = 4 + static_cast<size_t>(stream[4] << 8 | stream[5]);
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
