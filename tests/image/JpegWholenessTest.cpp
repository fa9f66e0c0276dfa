// A JPEG stream of any coding, colour space or ink loads in its own colours when every row was
// decoded from its own data, even when the stream lacks its end marker or has stray bytes before
// one; it is refused when its data ends before the last row or is corrupt. The streams are made by
// the reference JPEG library.

#include "image/JpegFile.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const uint8_t EndMarker[] = {0xFF, 0xD9};

Bytes WithoutEnd(const Bytes& stream) {
    return Bytes(stream.begin(), stream.end() - 2);
}

Bytes Cut(const Bytes& stream, size_t length, bool endMarker) {
    Bytes cut(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(length));
    if (endMarker)
        cut.insert(cut.end(), EndMarker, EndMarker + 2);
    return cut;
}

// Where the n-th scan (from 1) of the stream begins.
size_t ScanStart(const Bytes& stream, int n) {
    const uint8_t scan[] = {0xFF, 0xDA};
    auto at = stream.begin();
    for (int i = 0; i < n; ++i)
        at = std::search(at + (i > 0 ? 1 : 0), stream.end(), scan, scan + 2);
    return static_cast<size_t>(at - stream.begin());
}

TEST(JpegWholenessTest, EveryFormLoadsWholeAndMissingOrCorruptDataDoesNot) {
    PackedDib picture = MakePicture(64, 48);
    const Bytes baseline = EncodePicture(picture);
    const Bytes progressive = EncodePicture(picture, JpegInput::Bgr, JpegCoding::Progressive);
    const Bytes arithmetic = EncodePicture(picture, JpegInput::Bgr, JpegCoding::Arithmetic);
    const Bytes restarts = EncodePicture(picture, JpegInput::Bgr, JpegCoding::RestartMarkers);
    const Bytes grey = EncodePicture(picture, JpegInput::Grey);
    PackedDib greyPicture = MakePicture(64, 48); // of the green bytes
    for (int32_t i = InfoHeaderBytes; i < greyPicture.blockBytes; i += 3)
        greyPicture.block[i] = greyPicture.block[i + 2] = greyPicture.block[i + 1];
    Bytes stray = WithoutEnd(baseline);
    stray.insert(stray.end(), {0x12, 0x34, 0x56, 0xFF, 0xD9});
    Bytes corrupt = baseline; // a run of one bits, which no Huffman code of the stream has
    size_t middle = ScanStart(baseline, 1) + (baseline.size() - ScanStart(baseline, 1)) / 2;
    for (size_t i = middle; i < middle + 40; i += 2) {
        corrupt[i] = 0xFF;
        corrupt[i + 1] = 0x00;
    }
    // Every coding, colour space and ink loads in its own colours.
    const struct {
        const char* what;
        Bytes stream;
        const PackedDib* loads; // the picture it loads as, or none
    } cases[] = {
        {"baseline", baseline, &picture},
        {"progressive", progressive, &picture},
        {"arithmetic", arithmetic, &picture},
        {"restart markers", restarts, &picture},
        {"grey", grey, &greyPicture},
        {"inverted CMYK", EncodePicture(picture, JpegInput::Cmyk), &picture},
        {"inverted YCCK", EncodePicture(picture, JpegInput::Ycck), &picture},
        {"baseline without end marker", WithoutEnd(baseline), &picture},
        {"stray bytes before the end marker", stray, &picture},
        {"restart markers, no end marker", WithoutEnd(restarts), &picture},
        {"grey, no end marker", WithoutEnd(grey), &greyPicture},
        {"progressive, no end marker", WithoutEnd(progressive), &picture},
        {"cut in the last rows, end marker after", Cut(baseline, baseline.size() - 12, true),
         nullptr},
        {"cut in the last rows", Cut(baseline, baseline.size() - 12, false), nullptr},
        {"corrupt entropy data", corrupt, nullptr},
        {"progressive cut after its third scan", Cut(progressive, ScanStart(progressive, 4), false),
         nullptr},
        {"progressive cut after its third scan, end marker after",
         Cut(progressive, ScanStart(progressive, 4), true), nullptr},
        {"arithmetic cut at half", Cut(arithmetic, arithmetic.size() / 2, false), nullptr},
    };
    ScratchFolder folder;
    std::string name = folder.Path("photo.jpg");
    for (const auto& c : cases) {
        WriteWholeFile(name, c.stream);
        PackedDib image = ReadJpegFile(name.c_str());
        EXPECT_EQ(image.block != nullptr, c.loads != nullptr) << c.what;
        if (image.block != nullptr && c.loads != nullptr) {
            EXPECT_LE(LargestPixelDifference(image, *c.loads), 12) << c.what;
        }
        ReleaseDib(image);
    }
    ReleaseDib(greyPicture);
    ReleaseDib(picture);
}

} // namespace
