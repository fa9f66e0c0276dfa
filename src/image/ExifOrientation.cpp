#include "image/ExifOrientation.h"

#include <cstring>

namespace {

constexpr uint8_t ExifPrefix[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr int64_t TiffHeaderBytes = 8; // byte order, 42, offset of IFD0
constexpr int64_t EntryBytes = 12;     // tag, type, count, value
constexpr uint16_t TiffMagic = 42, OrientationTag = 0x0112, ShortType = 3;

// Reads the TIFF structure's numbers in the byte order its header names.
struct TiffReader {
    const uint8_t* bytes;
    int64_t count;
    bool bigEndian;

    uint16_t Read16(int64_t at) const {
        return bigEndian ? static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1])
                         : static_cast<uint16_t>(bytes[at + 1] << 8 | bytes[at]);
    }
    uint32_t Read32(int64_t at) const {
        uint32_t high = Read16(at), low = Read16(at + 2);
        return bigEndian ? high << 16 | low : low << 16 | high;
    }
};

} // namespace

int32_t ExifOrientation(const uint8_t* segment, int64_t segmentBytes) {
    constexpr auto PrefixBytes = static_cast<int64_t>(sizeof ExifPrefix);
    if (segment == nullptr || segmentBytes < PrefixBytes + TiffHeaderBytes ||
        std::memcmp(segment, ExifPrefix, sizeof ExifPrefix) != 0)
        return UprightOrientation;
    TiffReader tiff{segment + PrefixBytes, segmentBytes - PrefixBytes, false};
    if (tiff.bytes[0] == 'M' && tiff.bytes[1] == 'M')
        tiff.bigEndian = true;
    else if (tiff.bytes[0] != 'I' || tiff.bytes[1] != 'I')
        return UprightOrientation;
    if (tiff.Read16(2) != TiffMagic)
        return UprightOrientation;
    int64_t directory = tiff.Read32(4); // from the TIFF header's start
    if (directory < TiffHeaderBytes || directory > tiff.count - 2)
        return UprightOrientation;
    int64_t entries = tiff.Read16(directory);
    for (int64_t entry = 0; entry < entries; ++entry) {
        int64_t at = directory + 2 + entry * EntryBytes;
        if (at + EntryBytes > tiff.count)
            break; // the directory runs past the segment
        if (tiff.Read16(at) != OrientationTag)
            continue;
        // One SHORT, held in the first two bytes of the value field.
        if (tiff.Read16(at + 2) != ShortType || tiff.Read32(at + 4) != 1)
            return UprightOrientation;
        int32_t value = tiff.Read16(at + 8);
        return value >= 1 && value <= OrientationCount ? value : UprightOrientation;
    }
    return UprightOrientation;
}
