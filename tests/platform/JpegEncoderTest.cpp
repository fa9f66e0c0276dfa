// The strips: their layout from the size alone, a file byte for byte the codec library's own
// with the strips' restart interval, decoding to exactly the pixels of TurboJPEG's file without
// strips, and the same bytes whichever way the rows come.

#include "platform/JpegEncoder.h"

#include "platform/JpegCodec.h"
#include "support/TestJpegs.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <turbojpeg.h>

namespace {

// The test pattern under coarse grain, so that every block codes to coefficients of its own.
PackedDib GrainyPicture(int32_t width, int32_t height) {
    PackedDib picture = MakePicture(width, height);
    uint32_t seed = 12345;
    for (int32_t i = InfoHeaderBytes; i < picture.blockBytes; ++i) {
        seed = seed * 1103515245 + 12345;
        picture.block[i] = static_cast<uint8_t>(picture.block[i] ^ (seed >> 27));
    }
    return picture;
}

// What the program wrote before strips: one TurboJPEG call, BGR rows bottom-up at 4:2:0.
Bytes TurboJpegFile(const PackedDib& picture, int quality) {
    tjhandle handle = tjInitCompress();
    unsigned char* stream = nullptr;
    unsigned long streamBytes = 0;
    int32_t width = ImageWidth(picture.block), height = ImageHeight(picture.block);
    EXPECT_EQ(tjCompress2(handle, picture.block + InfoHeaderBytes, width,
                          static_cast<int>(RowStride(width)), height, TJPF_BGR, &stream,
                          &streamBytes, TJSAMP_420, quality, TJFLAG_BOTTOMUP),
              0);
    Bytes bytes(stream, stream + streamBytes);
    tjFree(stream);
    tjDestroy(handle);
    return bytes;
}

// Rows for the row source, copied from a picture in memory.
void CopyRows(const void* picture, int32_t first, int32_t count, uint8_t* rows) {
    const auto* block = static_cast<const PackedDib*>(picture)->block;
    int64_t stride = RowStride(ImageWidth(block));
    std::copy_n(block + InfoHeaderBytes + first * stride, count * stride, rows);
}

// Writes the picture through the codec from a DIB (top-down when given one) or a row source.
int Write(const std::string& name, const PackedDib& picture, uint8_t* dibBytes, bool fromRowSource,
          int32_t dotsPerInch = 0) {
    JpegCodecProps props;
    InitialiseJpegProps(&props);
    int32_t width = ImageWidth(picture.block), height = ImageHeight(picture.block);
    props.dibBytes = fromRowSource ? nullptr : dibBytes;
    props.rowSource = fromRowSource ? RowSource{CopyRows, &picture} : RowSource{};
    props.dibWidth = props.jpegWidth = width;
    bool topDown = !fromRowSource && dibBytes != picture.block + InfoHeaderBytes;
    props.dibHeight = topDown ? height : -height;
    props.jpegHeight = height;
    props.dibPadBytes = static_cast<int32_t>(RowStride(width) - 3 * width);
    props.fileName = name.c_str();
    props.jfifDotsPerInch = dotsPerInch;
    int result = WriteJpegData(&props, JpegWritePicture);
    ReleaseJpegProps(&props);
    return result;
}

TEST(LayJpegStrips, SixteenStripsOfWholeMcuRowsWhereARestartIntervalHoldsThem) {
    const struct {
        int32_t width, height;
        int32_t rows, count;
        uint32_t interval;
    } cases[] = {
        {1, 1, 1, 1, 0},
        {511, 513, 513, 1, 0},       // 262,143 pixels: one strip
        {512, 512, 32, 16, 64},      // 262,144: 32 MCU rows in strips of 2
        {643, 501, 32, 16, 82},      // the last strip 21 rows high
        {2480, 3508, 224, 16, 2170}, // A4 at 300 dpi: 220 MCU rows in strips of 14
        {10000, 10000, 640, 16, 25000},
        {70000, 40, 16, 3, 4375},        // fewer MCU rows than strips
        {70000, 57600, 224, 258, 61250}, // 14 MCU rows of 4375 MCUs fill an interval
        {1048560, 32, 16, 2, 65535},     // one MCU row fills it
        {1048561, 32, 32, 1, 0},         // no MCU row fits: no restart markers
    };
    for (const auto& c : cases) {
        JpegStrips strips = LayJpegStrips(c.width, c.height);
        EXPECT_EQ(strips.rows, c.rows) << c.width << " x " << c.height;
        EXPECT_EQ(strips.count, c.count) << c.width << " x " << c.height;
        EXPECT_EQ(strips.restartInterval, c.interval) << c.width << " x " << c.height;
    }
}

class JpegEncoderTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string name = folder.Path("sheet.jpg");
};

// Padded widths, odd heights, one pixel, one strip and sixteen: the bytes of the library's one
// run with the strips' interval, the pixels of TurboJPEG's file, from every source of rows alike.
TEST_F(JpegEncoderTest, StripsDecodeToThePixelsOfOneRun) {
    const struct {
        int32_t width, height;
        unsigned interval;
    } cases[] = {{1, 1, 0}, {7, 5, 0}, {45, 29, 0}, {511, 513, 0}, {643, 501, 82}, {512, 512, 64}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        PackedDib picture = GrainyPicture(c.width, c.height);
        uint8_t* dib = picture.block + InfoHeaderBytes;
        ASSERT_EQ(Write(name, picture, dib, false), 0);
        Bytes written = ReadWholeFile(name);
        // The codec library's own file in one run, with TurboJPEG's settings and the interval.
        EXPECT_TRUE(written == EncodePicture(picture, JpegInput::Bgr, JpegCoding::Baseline,
                                             {75, true, c.interval, {}}));
        bool ycbcr420 = false;
        PackedDib ours = DecodeJpeg(written, &ycbcr420);
        PackedDib turbo = DecodeJpeg(TurboJpegFile(picture, 75), &ycbcr420);
        EXPECT_EQ(LargestPixelDifference(ours, turbo), 0);
        // The same picture stored top-down, and made by a row source.
        Bytes topDown = TopDownBytes(picture);
        ASSERT_EQ(Write(name, picture, topDown.data() + InfoHeaderBytes, false), 0);
        EXPECT_TRUE(ReadWholeFile(name) == written);
        ASSERT_EQ(Write(name, picture, nullptr, true), 0);
        EXPECT_TRUE(ReadWholeFile(name) == written);
        ReleaseDib(ours);
        ReleaseDib(turbo);
        ReleaseDib(picture);
    }
}

// The JFIF segment's density is tested through the save formats; beyond 16 bits it is refused.
TEST_F(JpegEncoderTest, DensityBeyondTheJfifSegmentIsRefused) {
    PackedDib picture = MakePicture(9, 4);
    for (int32_t refused : {-1, 65536})
        EXPECT_NE(Write(name, picture, picture.block + InfoHeaderBytes, false, refused), 0);
    EXPECT_TRUE(folder.Entries().empty());
    ReleaseDib(picture);
}

// A disk that fills part way through the strips: the write fails, the old file stays and nothing
// else is left behind.
TEST_F(JpegEncoderTest, AFailedWriteKeepsTheOldFileAndLeavesNoOther) {
    PackedDib picture = GrainyPicture(643, 501);
    const Bytes previous(1000, 0x5A);
    WriteWholeFile(name, previous);
    int result = RunInChild([&] {
        LimitFileSize(20000);
        return Write(name, picture, picture.block + InfoHeaderBytes, false);
    });
    EXPECT_NE(result, 0);
    EXPECT_EQ(ReadWholeFile(name), previous);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sheet.jpg"});
    ReleaseDib(picture);
}

} // namespace
