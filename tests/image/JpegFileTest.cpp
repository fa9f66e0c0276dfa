#include "image/JpegFile.h"

#include "image/LittleEndian.h"
#include "support/TestJpegs.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

class JpegFileTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string name = folder.Path("picture.jpg");
};

// Rows of 3 x width bytes padded to a multiple of 4: every pad width, odd heights, one pixel. Read
// from streams the reference library encodes; written, in both row orders, for it to decode.
TEST_F(JpegFileTest, PaddedRowsBothWays) {
    const int32_t sizes[][3] = {{1, 1, 44},  {1, 3, 52},     {2, 5, 80},
                                {3, 7, 124}, {4, 3, 76},     {5, 9, 184},
                                {7, 2, 88},  {45, 29, 3984}, {640, 480, 921640}};
    for (const auto& [width, height, blockBytes] : sizes) { // and the block's byte count
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        PackedDib picture = MakePicture(width, height);
        WriteWholeFile(name, EncodePicture(picture));
        PackedDib read = ReadJpegFile(name.c_str());
        ASSERT_EQ(read.blockBytes, blockBytes);
        EXPECT_TRUE(IsPackablePicture(read));
        EXPECT_LE(LargestPixelDifference(read, picture), 12);
        int32_t stride = (blockBytes - 40) / height;
        for (int32_t row = 0; row < height; ++row) // zeros, so that results repeat
            for (int32_t pad = 3 * width; pad < stride; ++pad)
                EXPECT_EQ(read.block[40 + row * stride + pad], 0);
        Bytes topDown = TopDownBytes(picture);
        for (PackedDib image : {picture, PackedDib{topDown.data(), picture.blockBytes}}) {
            ASSERT_EQ(WriteJpegFile(name.c_str(), image, 100, {}), 1);
            bool ycbcr420 = false;
            PackedDib decoded = DecodeJpeg(ReadWholeFile(name), &ycbcr420);
            EXPECT_TRUE(ycbcr420);
            EXPECT_LE(LargestPixelDifference(decoded, picture), 12); // sizes, flips and colours
            ReleaseDib(decoded);
        }
        ReleaseDib(read);
        ReleaseDib(picture);
    }
}

// Every coding and colour space loads in its own colours in JpegWholenessTest; here the ink of
// print software, which holds black of its own.
TEST_F(JpegFileTest, InvertedInkLoadsAsItsColours) {
    // White paper under half black above, white paper without black below: mid grey and white.
    Bytes ink;
    for (int i = 0; i < 16 * 16; ++i)
        ink.insert(ink.end(), {255, 255, 255, static_cast<uint8_t>(i < 8 * 16 ? 128 : 255)});
    WriteWholeFile(name, EncodeJpeg(16, 16, ink, JpegInput::Cmyk));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_EQ(image.blockBytes, 40 + 16 * 48);
    for (int i = 0; i < 16 * 48; ++i)
        EXPECT_NEAR(image.block[40 + i], i < 8 * 48 ? 255 : 128, 3) << i;
    ReleaseDib(image);
}

// A header can claim a picture whose block does not fit 32 bits (30000 x 23860 would just fit,
// one row more would not); TurboJPEG itself refuses only 65535 x 65535. Damaged and cut streams
// are refused through the loader, in SourceImageTest.
TEST_F(JpegFileTest, PicturesBeyondTheFormatsSizesAndWhatIsNoJpegGiveNone) {
    PackedDib picture = MakePicture(64, 48);
    Bytes stream = EncodePicture(picture);
    const uint8_t frame[] = {0xFF, 0xC0};
    auto size = std::search(stream.begin(), stream.end(), frame, frame + 2) + 5;
    for (Bytes claim : {Bytes{0xFF, 0xDC, 0xFF, 0xDC}, Bytes{0x5D, 0x35, 0x75, 0x30}}) {
        std::copy(claim.begin(), claim.end(), size); // height, width: 65500 x 65500, 30000 x 23861
        WriteWholeFile(name, stream);
        EXPECT_EQ(ReadJpegFile(name.c_str()).block, nullptr) << int{claim[0]};
    }
    WriteWholeFile(name, BmpFileBytes(BlockBytes(picture)));
    for (const std::string& other : {name, folder.Path("missing.jpg"), folder.Path("")})
        EXPECT_EQ(ReadJpegFile(other.c_str()).block, nullptr) << other;
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, PicturesThatCannotBeEncodedWriteNothing) {
    PackedDib picture = MakePicture(300, 200);
    Bytes eightBit = BlockBytes(picture), flat = eightBit;
    WriteLe16(eightBit.data() + 14, 8);
    WriteLe32(flat.data() + 8, 0); // no rows at all
    const PackedDib images[] = {{eightBit.data(), picture.blockBytes},
                                {picture.block, picture.blockBytes - 1}, // last row cut short
                                {flat.data(), picture.blockBytes},
                                {}};
    for (const PackedDib& image : images)
        EXPECT_EQ(WriteJpegFile(name.c_str(), image, 75, {}), 0) << &image - images;
    EXPECT_EQ(WriteJpegFile(folder.Path("no/such/folder.jpg").c_str(), picture, 75, {}), 0);
    EXPECT_TRUE(folder.Entries().empty()); // a write failing part way: in JpegEncoderTest
    ReleaseDib(picture);
}

} // namespace
