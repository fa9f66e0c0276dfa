// A JPEG stream loads when every row was decoded from its own data, even when the stream lacks
// its end marker or has stray bytes before one; it is refused when its data ends before the last
// row or is corrupt. The streams are made by the reference JPEG library.

#include "image/JpegFile.h"
#include "image/SourceImage.h"

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

TEST(JpegWholenessTest, WholeRowsLoadAndMissingOrCorruptDataDoesNot) {
    PackedDib picture = MakePicture(64, 48);
    const Bytes baseline = EncodePicture(picture);
    const Bytes progressive = EncodePicture(picture, JpegInput::Bgr, JpegCoding::Progressive);
    const Bytes arithmetic = EncodePicture(picture, JpegInput::Bgr, JpegCoding::Arithmetic);
    const Bytes restarts = EncodePicture(picture, JpegInput::Bgr, JpegCoding::RestartMarkers);
    const Bytes grey = EncodePicture(picture, JpegInput::Grey);
    Bytes stray = WithoutEnd(baseline);
    stray.insert(stray.end(), {0x12, 0x34, 0x56, 0xFF, 0xD9});
    Bytes corrupt = baseline; // a run of one bits, which no Huffman code of the stream has
    size_t middle = ScanStart(baseline, 1) + (baseline.size() - ScanStart(baseline, 1)) / 2;
    for (size_t i = middle; i < middle + 40; i += 2) {
        corrupt[i] = 0xFF;
        corrupt[i + 1] = 0x00;
    }
    const struct {
        const char* what;
        Bytes stream;
        bool loads;
        bool colour = true;
    } cases[] = {
        {"baseline", baseline, true},
        {"baseline without end marker", WithoutEnd(baseline), true},
        {"stray bytes before the end marker", stray, true},
        {"restart markers, no end marker", WithoutEnd(restarts), true},
        {"grey, no end marker", WithoutEnd(grey), true, false},
        {"progressive, no end marker", WithoutEnd(progressive), true},
        {"cut in the last rows, end marker after", Cut(baseline, baseline.size() - 12, true),
         false},
        {"cut in the last rows", Cut(baseline, baseline.size() - 12, false), false},
        {"cut at three quarters", Cut(baseline, baseline.size() * 3 / 4, false), false},
        {"corrupt entropy data", corrupt, false},
        {"progressive cut after its third scan", Cut(progressive, ScanStart(progressive, 4), false),
         false},
        {"progressive cut after its third scan, end marker after",
         Cut(progressive, ScanStart(progressive, 4), true), false},
        {"arithmetic cut at half", Cut(arithmetic, arithmetic.size() / 2, false), false},
    };
    ScratchFolder folder;
    std::string name = folder.Path("photo.jpg");
    for (const auto& c : cases) {
        WriteWholeFile(name, c.stream);
        PackedDib image = ReadJpegFile(name.c_str());
        EXPECT_EQ(image.block != nullptr, c.loads) << c.what;
        if (image.block != nullptr && c.colour) {
            EXPECT_LE(LargestPixelDifference(image, picture), 12) << c.what;
        }
        ReleaseDib(image);
    }
    ReleaseDib(picture);
}

// Found by fuzzing: the decoder skips stray bytes between the start marker and the next one, so
// the loader takes a stream for JPEG by its start marker alone, as the reader does.
TEST(JpegWholenessTest, StrayBytesAfterTheStartMarkerStillMakeAJpeg) {
    PackedDib picture = MakePicture(9, 5);
    Bytes stream = EncodePicture(picture);
    stream.insert(stream.begin() + 2, 20, 0x00);
    ScratchFolder folder;
    WriteWholeFile(folder.Path("photo.jpg"), stream);
    PackableSource source = LoadPackableSource(folder.Path("photo.jpg").c_str(), {});
    EXPECT_EQ(source.verdict, SourceVerdict::Loaded);
    EXPECT_LE(LargestPixelDifference(source.image, picture), 12);
    ReleaseDib(source.image);
    ReleaseDib(picture);
}

} // namespace
