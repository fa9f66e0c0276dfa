#include "support/TestMetadata.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <utility>

Bytes ExifPayload(int orientation, bool bigEndian) {
    // The TIFF structure's numbers of 2 or 4 bytes in the payload's byte order; -4 marks 4 text
    // bytes, which keep theirs. Magic, IFD0 offset, two entries; Make, ASCII, 4 bytes held in
    // place: "Cam\0"; Orientation, one SHORT, the value and 2 unused bytes; no next directory.
    const auto o = static_cast<uint32_t>(orientation);
    const std::pair<int, uint32_t> fields[] = {
        {2, 42},     {4, 8}, {2, 2}, {2, 0x010F}, {2, 2}, {4, 4}, {-4, 0x43616D00},
        {2, 0x0112}, {2, 3}, {4, 1}, {2, o},      {2, 0}, {4, 0}};
    const uint8_t order = bigEndian ? 'M' : 'I';
    Bytes exif = {'E', 'x', 'i', 'f', 0, 0, order, order};
    for (auto [size, value] : fields) {
        int bytes = std::abs(size);
        for (int i = 0; i < bytes; ++i)
            exif.push_back(
                static_cast<uint8_t>(value >> 8 * (bigEndian || size < 0 ? bytes - 1 - i : i)));
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
    return EncodePicture(picture, JpegInput::Bgr, JpegCoding::Baseline, {.iccProfile = profile});
}

Bytes ReferenceProfile(const Bytes& stream) {
    Bytes profile;
    bool ycbcr420 = false;
    PackedDib picture = DecodeJpeg(stream, &ycbcr420, &profile);
    ReleaseDib(picture);
    return profile;
}
