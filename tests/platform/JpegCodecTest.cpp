// The codec writes no byte outside the rows it is given; what it decodes and encodes is tested
// through the JPEG reader and writer, in JpegFileTest.

#include "platform/JpegCodec.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>

namespace {

// Decodes the 7 x 5 picture into rows of 24 bytes (21 and 3 pad bytes) between two guard rows of
// 0xAA, bottom-up or top-down, after the change to the record; the codec's result.
int Decode(
    const std::string& name, Bytes& rows, int32_t dibHeight,
    void (*change)(JpegCodecProps*) = [](JpegCodecProps*) {}) {
    rows.assign(24 * 7, 0xAA);
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    props.fileName = name.c_str();
    props.dibBytes = rows.data() + 24;
    props.dibWidth = 7;
    props.dibHeight = dibHeight;
    props.dibPadBytes = 3;
    change(&props);
    int result = ReadJpegData(&props, JpegReadPicture);
    ReleaseJpegProps(&props);
    return result;
}

TEST(JpegCodec, WritesOnlyTheRowsItIsGiven) {
    ScratchFolder folder;
    std::string name = folder.Path("in.jpg");
    PackedDib picture = MakePicture(7, 5);
    WriteWholeFile(name, EncodePicture(picture));
    ReleaseDib(picture);
    Bytes bottomUp, topDown;
    ASSERT_EQ(Decode(name, bottomUp, -5), 0);
    ASSERT_EQ(Decode(name, topDown, 5), 0);
    for (size_t row = 1; row <= 5; ++row) { // the same rows in the other order, pad bytes zeroed
        EXPECT_TRUE(
            std::equal(&bottomUp[24 * row], &bottomUp[24 * row + 24], &topDown[24 * (6 - row)]));
        EXPECT_EQ(bottomUp[24 * row + 21] | bottomUp[24 * row + 22] | bottomUp[24 * row + 23], 0);
    }
    // A DIB of another size than the picture's, or one that cannot be described, is refused.
    void (*const refusals[])(JpegCodecProps*) = {
        [](JpegCodecProps* p) { p->dibWidth += 1; }, [](JpegCodecProps* p) { p->dibHeight -= 1; },
        [](JpegCodecProps* p) { p->dibHeight = INT32_MIN; },
        [](JpegCodecProps* p) { p->dibPadBytes = -1; },
        [](JpegCodecProps* p) { p->dibChannels = 4; }};
    for (auto change : refusals) {
        Bytes rows;
        EXPECT_NE(Decode(name, rows, -5, change), 0);
        EXPECT_EQ(rows, Bytes(24 * 7, 0xAA));
    }
    for (const Bytes* rows : {&bottomUp, &topDown}) // the guard rows
        EXPECT_TRUE(
            std::all_of(rows->begin(), rows->begin() + 24, [](int b) { return b == 0xAA; }) &&
            std::all_of(rows->end() - 24, rows->end(), [](int b) { return b == 0xAA; }));
}

} // namespace
