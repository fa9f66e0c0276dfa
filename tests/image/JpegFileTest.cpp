#include "image/JpegFile.h"

#include "TestFiles.h"
#include "TestJpegs.h"
#include "image/LittleEndian.h"
#include "platform/JpegCodec.h"

#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class JpegFileTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string name = folder.Path("picture.jpg");
};

// Writes a picture as a JPEG file through the reference encoder.
void WriteJpegOf(const std::string& name, const PackedDib& picture,
                 JpegCoding coding = JpegCoding::Baseline) {
    WriteWholeFile(name, EncodeJpeg(ImageWidth(picture.block), ImageHeight(picture.block),
                                    TopDownBgr(picture), JpegInput::Bgr, coding));
}

class JpegFileWidthTest : public JpegFileTest, public testing::WithParamInterface<int32_t> {};

TEST_P(JpegFileWidthTest, RowsArePaddedToFourBytes) {
    const int32_t width = GetParam(), height = 3;
    PackedDib picture = MakeSmoothPicture(width, height);
    WriteJpegOf(name, picture);
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    int32_t stride = (3 * width + 3) & ~3;
    EXPECT_EQ(image.blockBytes, InfoHeaderBytes + stride * height);
    EXPECT_EQ(PixelDataOffset(image.block), 40u);
    EXPECT_EQ(ImageWidth(image.block), width);
    EXPECT_EQ(ImageHeight(image.block), height);
    EXPECT_EQ(ImageBitCount(image.block), 24);
    for (int32_t row = 0; row < height; ++row) // pad bytes are zero, so results repeat
        for (int32_t pad = 3 * width; pad < stride; ++pad)
            EXPECT_EQ(image.block[InfoHeaderBytes + row * stride + pad], 0);
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    ReleaseDib(image);
    ReleaseDib(picture);
}

INSTANTIATE_TEST_SUITE_P(Widths, JpegFileWidthTest, testing::Values(1, 2, 3, 4, 5));

TEST_F(JpegFileTest, PictureOf640By480TakesItsExactBlock) {
    PackedDib picture = MakeSmoothPicture(640, 480);
    WriteJpegOf(name, picture);
    PackedDib image = ReadJpegFile(name.c_str());
    EXPECT_EQ(image.blockBytes, 921640);
    ReleaseDib(image);
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, GreyPictureGivesThreeEqualBytes) {
    Bytes grey;
    for (int32_t i = 0; i < 9 * 4; ++i)
        grey.push_back(static_cast<uint8_t>(20 + 6 * i));
    WriteWholeFile(name, EncodeJpeg(9, 4, grey, JpegInput::Grey));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    const uint8_t* row = image.block + InfoHeaderBytes + 3 * RowStride(9); // the top row
    for (int32_t x = 0; x < 9; ++x) {
        EXPECT_EQ(row[3 * x], row[3 * x + 1]);
        EXPECT_EQ(row[3 * x], row[3 * x + 2]);
        EXPECT_NEAR(row[3 * x], grey[static_cast<size_t>(x)], 6);
    }
    ReleaseDib(image);
}

class JpegFileCodingTest : public JpegFileTest, public testing::WithParamInterface<JpegCoding> {};

// The marker that shows a stream really is of its kind: baseline frame, progressive frame,
// arithmetic-coded frame, restart interval.
bool HoldsMarker(const Bytes& stream, uint8_t marker) {
    for (size_t i = 0; i + 1 < stream.size(); ++i)
        if (stream[i] == 0xFF && stream[i + 1] == marker)
            return true;
    return false;
}

TEST_P(JpegFileCodingTest, EveryEntropyCodingLoads) {
    PackedDib picture = MakeSmoothPicture(45, 29);
    WriteJpegOf(name, picture, GetParam());
    const uint8_t markers[] = {0xC0, 0xC2, 0xC9, 0xDD};
    ASSERT_TRUE(HoldsMarker(ReadWholeFile(name), markers[static_cast<int>(GetParam())]));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    ReleaseDib(image);
    ReleaseDib(picture);
}

INSTANTIATE_TEST_SUITE_P(Codings, JpegFileCodingTest,
                         testing::Values(JpegCoding::Baseline, JpegCoding::Progressive,
                                         JpegCoding::Arithmetic, JpegCoding::RestartMarkers));

class JpegFileInkTest : public JpegFileTest, public testing::WithParamInterface<JpegInput> {};

TEST_P(JpegFileInkTest, PrintPicturesLoadInTheirOwnColours) {
    // Inverted ink as print software writes it: ink value = 255 - amount. Ink values equal to
    // the colour bytes and no black make the colour itself, so the result is checkable.
    PackedDib picture = MakeSmoothPicture(21, 13);
    Bytes bgr = TopDownBgr(picture), ink;
    for (size_t i = 0; i < bgr.size(); i += 3)
        ink.insert(ink.end(), {bgr[i + 2], bgr[i + 1], bgr[i], 255});
    WriteWholeFile(name, EncodeJpeg(21, 13, ink, GetParam()));
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    EXPECT_EQ(ImageBitCount(image.block), 24);
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    ReleaseDib(image);
    ReleaseDib(picture);
}

INSTANTIATE_TEST_SUITE_P(InkForms, JpegFileInkTest,
                         testing::Values(JpegInput::Cmyk, JpegInput::Ycck));

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

TEST_F(JpegFileTest, BmpFileFailsWithoutAPicture) {
    PackedDib picture = MakePicture(4, 4);
    WriteWholeFile(name, BmpFileBytes(BlockBytes(picture)));
    EXPECT_EQ(ReadJpegFile(name.c_str()).block, nullptr);
    EXPECT_EQ(ReadJpegFile(folder.Path("missing.jpg").c_str()).block, nullptr);
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, HugeClaimedPictureIsRefusedBeforeItsBlock) {
    PackedDib picture = MakeSmoothPicture(8, 8);
    Bytes stream = EncodeJpeg(8, 8, TopDownBgr(picture), JpegInput::Bgr);
    ReleaseDib(picture);
    struct Claim {
        uint16_t width, height;
        bool codecReadsHeader; // false: the codec itself refuses the size
    };
    // 30000 x 23860 would need 40 + 90000 x 23860 bytes, just within the signed 32-bit range;
    // one more row is beyond it.
    const Claim claims[] = {{65535, 65535, false}, {65500, 65500, true}, {30000, 23861, true}};
    for (const Claim& claim : claims) {
        Bytes claiming = stream;
        ASSERT_TRUE(SetFrameSize(claiming, claim.width, claim.height));
        WriteWholeFile(name, claiming);
        JpegCodecProps props;
        InitialiseJpegProps(&props);
        props.fileName = name.c_str();
        EXPECT_EQ(ReadJpegData(&props, JpegReadParameters) == 0, claim.codecReadsHeader);
        EXPECT_EQ(props.jpegHeight, claim.codecReadsHeader ? claim.height : 0);
        ReleaseJpegProps(&props);
        EXPECT_EQ(ReadJpegFile(name.c_str()).block, nullptr) << claim.width << "x" << claim.height;
    }
}

TEST_F(JpegFileTest, DamagedStreamFailsCleanly) {
    PackedDib picture = MakeSmoothPicture(64, 48);
    Bytes stream = EncodeJpeg(64, 48, TopDownBgr(picture), JpegInput::Bgr);
    ReleaseDib(picture);
    Bytes inScan(stream.begin(), stream.begin() + static_cast<long>(stream.size() * 3 / 4));
    Bytes inHeader(stream.begin(), stream.begin() + 30);
    Bytes noEnd(stream.begin(), stream.end() - 2); // taken as cut short, like any truncation
    Bytes badTable = stream;
    badTable[4] = 0xFF; // the first segment claims more bytes than the file holds
    Bytes garbage = {0xFF, 0xD8};
    for (int i = 0; i < 500; ++i)
        garbage.push_back(static_cast<uint8_t>(i * 37 + 11));
    for (const Bytes* damaged : {&inScan, &inHeader, &noEnd, &badTable, &garbage}) {
        WriteWholeFile(name, *damaged);
        PackedDib image = ReadJpegFile(name.c_str());
        EXPECT_EQ(image.block, nullptr) << damaged->size() << " bytes";
        ReleaseDib(image);
    }
}

TEST_F(JpegFileTest, DecodedAndEncodedAgainStaysUpright) {
    PackedDib picture = MakeSmoothPicture(40, 24);
    ASSERT_EQ(WriteJpegFile(name.c_str(), picture, 95), 1);
    PackedDib once = ReadJpegFile(name.c_str());
    ASSERT_NE(once.block, nullptr);
    ASSERT_EQ(WriteJpegFile(name.c_str(), once, 95), 1);
    PackedDib twice = ReadJpegFile(name.c_str());
    ASSERT_NE(twice.block, nullptr);
    // A flip would move the green gradient by up to 170 and a mirror the blue one.
    EXPECT_LE(LargestPixelDifference(once, picture), 12);
    EXPECT_LE(LargestPixelDifference(twice, picture), 16);
    ReleaseDib(twice);
    ReleaseDib(once);
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, TopDownPictureIsWrittenUpright) {
    PackedDib picture = MakeSmoothPicture(16, 10);
    PackedDib topDown = MakeSmoothPicture(16, 10);
    const int64_t stride = RowStride(16);
    for (int32_t row = 0; row < 10; ++row)
        std::copy_n(picture.block + InfoHeaderBytes + row * stride, stride,
                    topDown.block + InfoHeaderBytes + (9 - row) * stride);
    WriteLe32(topDown.block + 8, static_cast<uint32_t>(-10));
    ASSERT_EQ(WriteJpegFile(name.c_str(), topDown, 95), 1);
    PackedDib image = ReadJpegFile(name.c_str());
    ASSERT_NE(image.block, nullptr);
    EXPECT_EQ(ImageHeight(image.block), 10);
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    ReleaseDib(image);
    ReleaseDib(topDown);
    ReleaseDib(picture);
}

TEST_F(JpegFileTest, WriteRefusesPicturesItCannotTakeAndCreatesNoFile) {
    PackedDib eightBit = MakePicture(8, 4);
    WriteLe16(eightBit.block + 14, 8);
    PackedDib shortBlock = MakePicture(8, 4);
    shortBlock.blockBytes -= 1; // the last row runs past the block
    PackedDib flat = MakePicture(8, 4);
    WriteLe32(flat.block + 8, 0); // no rows at all
    for (const PackedDib* image : {&eightBit, &shortBlock, &flat}) {
        EXPECT_EQ(WriteJpegFile(name.c_str(), *image, 75), 0);
        EXPECT_TRUE(folder.Entries().empty());
    }
    EXPECT_EQ(WriteJpegFile(name.c_str(), PackedDib{}, 75), 0);
    EXPECT_TRUE(folder.Entries().empty());
    shortBlock.blockBytes += 1;
    for (PackedDib* image : {&eightBit, &shortBlock, &flat})
        ReleaseDib(*image);
}

TEST_F(JpegFileTest, FailedWriteKeepsTheFileThatWasThere) {
    PackedDib picture = MakeSmoothPicture(300, 200);
    EXPECT_EQ(WriteJpegFile(folder.Path("no/such/folder.jpg").c_str(), picture, 75), 0);
    EXPECT_TRUE(folder.Entries().empty());

    const Bytes previous(1000, 0x5A);
    WriteWholeFile(name, previous);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) { // the file size limit makes the write fail part way
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{512, 512};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteJpegFile(name.c_str(), picture, 75) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadWholeFile(name), previous);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"picture.jpg"});
    ReleaseDib(picture);
}

} // namespace
