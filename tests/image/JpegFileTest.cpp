#include "image/JpegFile.h"

#include "image/LittleEndian.h"
#include "support/TestJpegs.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

namespace {

// The stream with another picture size in its baseline frame header.
Bytes ClaimingSize(Bytes stream, uint16_t width, uint16_t height) {
    const uint8_t frame[] = {0xFF, 0xC0}, size[] = {uint8_t(height >> 8), uint8_t(height & 0xFF),
                                                    uint8_t(width >> 8), uint8_t(width & 0xFF)};
    std::copy(size, size + 4, std::search(stream.begin(), stream.end(), frame, frame + 2) + 5);
    return stream;
}

class JpegFileTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string name = folder.Path("picture.jpg");
};

TEST_F(JpegFileTest, RowsArePaddedToFourBytesWithZeros) {
    const struct {
        int32_t width, height, blockBytes;
    } sizes[] = {{1, 3, 40 + 3 * 4},  {2, 3, 40 + 3 * 8},  {3, 3, 40 + 3 * 12},
                 {4, 3, 40 + 3 * 12}, {5, 3, 40 + 3 * 16}, {640, 480, 921640}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.width);
        PackedDib picture = MakeSmoothPicture(size.width, size.height);
        WriteWholeFile(name, EncodePicture(picture));
        PackedDib image = ReadJpegFile(name.c_str());
        EXPECT_EQ(image.blockBytes, size.blockBytes);
        EXPECT_TRUE(IsPackablePicture(image));
        EXPECT_LE(LargestPixelDifference(image, picture), 12);
        int32_t stride = (size.blockBytes - InfoHeaderBytes) / size.height;
        for (int32_t row = 0; row < size.height; ++row) // zeros, so that results repeat
            for (int32_t pad = 3 * size.width; pad < stride; ++pad)
                EXPECT_EQ(image.block[InfoHeaderBytes + row * stride + pad], 0);
        ReleaseDib(image);
        ReleaseDib(picture);
    }
}

TEST_F(JpegFileTest, GreyPictureGivesThreeEqualBytes) {
    PackedDib picture = MakeSmoothPicture(9, 4);
    WriteWholeFile(name, EncodePicture(picture, JpegInput::Grey));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    Bytes read = TopDownBgr(image), given = TopDownBgr(picture);
    for (size_t i = 0; i < read.size(); i += 3) {
        EXPECT_EQ(read[i], read[i + 1]);
        EXPECT_EQ(read[i], read[i + 2]);
        EXPECT_NEAR(read[i], given[i + 1], 6); // the grey was made of the green bytes
    }
    ReleaseDib(image);
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, EveryCodingAndInkFormLoadsInItsOwnColours) {
    // Each stream holds the marker that shows it is of its kind: baseline, progressive or
    // arithmetic-coded frame, restart interval, the Adobe marker of print software's ink.
    const struct {
        JpegInput input;
        JpegCoding coding;
        uint8_t marker;
    } forms[] = {{JpegInput::Bgr, JpegCoding::Baseline, 0xC0},
                 {JpegInput::Bgr, JpegCoding::Progressive, 0xC2},
                 {JpegInput::Bgr, JpegCoding::Arithmetic, 0xC9},
                 {JpegInput::Bgr, JpegCoding::RestartMarkers, 0xDD},
                 {JpegInput::Cmyk, JpegCoding::Baseline, 0xEE},
                 {JpegInput::Ycck, JpegCoding::Baseline, 0xEE}};
    PackedDib picture = MakeSmoothPicture(45, 29);
    for (const auto& form : forms) {
        Bytes stream = EncodePicture(picture, form.input, form.coding);
        const uint8_t marker[] = {0xFF, form.marker};
        ASSERT_NE(std::search(stream.begin(), stream.end(), marker, marker + 2), stream.end());
        WriteWholeFile(name, stream);
        PackedDib image = ReadJpegFile(name.c_str());
        EXPECT_LE(LargestPixelDifference(image, picture), 12) << int{form.marker};
        ReleaseDib(image);
    }
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, BlackInkDarkensEveryColour) {
    Bytes ink;
    for (int i = 0; i < 16 * 16; ++i) // white paper under half black: mid grey
        ink.insert(ink.end(), {255, 255, 255, 128});
    WriteWholeFile(name, EncodeJpeg(16, 16, ink, JpegInput::Cmyk));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(image.block[InfoHeaderBytes + i], 128, 3);
    ReleaseDib(image);
}

TEST_F(JpegFileTest, WhatIsNoSoundJpegGivesNoPicture) {
    PackedDib picture = MakeSmoothPicture(64, 48);
    const Bytes stream = EncodePicture(picture);
    Bytes badTable = stream, garbage = {0xFF, 0xD8};
    badTable[4] = 0xFF; // the first segment claims more bytes than the file holds
    for (int i = 0; i < 500; ++i)
        garbage.push_back(static_cast<uint8_t>(i * 37 + 11));
    // A header can claim a picture whose block does not fit 32 bits (30000 x 23860 would just
    // fit, one row more would not); the codec itself refuses only 65535 x 65535.
    const Bytes contents[] = {{},
                              {0xFF, 0xD8},
                              {0xFF, 0xD8, 0xFF, 0xD9},
                              {'J', 'F', 'I', 'F'},
                              BmpFileBytes(BlockBytes(picture)), // refused at the parameter pass
                              Bytes(stream.begin(), stream.begin() + 30),
                              Bytes(stream.begin(), stream.end() - std::ssize(stream) / 4),
                              badTable,
                              garbage,
                              ClaimingSize(stream, 65535, 65535),
                              ClaimingSize(stream, 65500, 65500),
                              ClaimingSize(stream, 30000, 23861)};
    for (const Bytes& content : contents) {
        WriteWholeFile(name, content);
        EXPECT_EQ(ReadJpegFile(name.c_str()).block, nullptr) << &content - contents;
    }
    for (const char* other : {"missing.jpg", "."})
        EXPECT_EQ(ReadJpegFile(folder.Path(other).c_str()).block, nullptr) << other;
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, PicturesComeBackUpright) {
    // A flip would move the green gradient by up to 170 and a mirror the blue one.
    PackedDib picture = MakeSmoothPicture(40, 24);
    ASSERT_EQ(WriteJpegFile(name.c_str(), picture, 95, {}), 1);
    PackedDib once = ReadJpegFile(name.c_str());
    ASSERT_EQ(WriteJpegFile(name.c_str(), once, 95, {}), 1);
    PackedDib twice = ReadJpegFile(name.c_str());
    EXPECT_LE(LargestPixelDifference(once, picture), 12);
    EXPECT_LE(LargestPixelDifference(twice, picture), 16);
    Bytes topDown = TopDownBytes(picture);
    PackedDib image = {topDown.data(), static_cast<int32_t>(topDown.size())};
    ASSERT_EQ(WriteJpegFile(name.c_str(), image, 95, {}), 1);
    image = ReadJpegFile(name.c_str());
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    for (PackedDib* read : {&picture, &once, &twice, &image})
        ReleaseDib(*read);
}

TEST_F(JpegFileTest, WriteRefusesPicturesItCannotTakeAndCreatesNoFile) {
    PackedDib picture = MakePicture(8, 4);
    Bytes eightBit = BlockBytes(picture), flat = eightBit;
    WriteLe16(eightBit.data() + 14, 8);
    WriteLe32(flat.data() + 8, 0); // no rows at all
    const PackedDib images[] = {{eightBit.data(), picture.blockBytes},
                                {picture.block, picture.blockBytes - 1}, // last row cut short
                                {flat.data(), picture.blockBytes},
                                {}};
    for (const PackedDib& image : images)
        EXPECT_EQ(WriteJpegFile(name.c_str(), image, 75, {}), 0) << &image - images;
    EXPECT_TRUE(folder.Entries().empty());
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, FailedWriteKeepsTheFileThatWasThereAndLeavesNoOther) {
    PackedDib picture = MakeSmoothPicture(300, 200);
    EXPECT_EQ(WriteJpegFile(folder.Path("no/such/folder.jpg").c_str(), picture, 75, {}), 0);
    const Bytes previous(1000, 0x5A);
    WriteWholeFile(name, previous);
    EXPECT_EQ(RunInChild([&] {
                  LimitFileSize(512); // the write fails part way
                  return WriteJpegFile(name.c_str(), picture, 75, {});
              }),
              0);
    EXPECT_EQ(ReadWholeFile(name), previous);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.jpg"});
    ReleaseDib(picture);
}

} // namespace
