// Loading JPEG sources: the content decides the reader, never the name.

#include "image/SourceImage.h"

#include "TestFiles.h"
#include "TestJpegs.h"
#include "app/AppState.h"
#include "image/LittleEndian.h"

#include <gtest/gtest.h>

namespace {

class SourceImageJpegTest : public testing::Test {
  protected:
    ScratchFolder folder;
    PackedDib picture = MakeSmoothPicture(11, 7);
    void SetUp() override { ResetAppState(); }
    void TearDown() override {
        ReleaseDib(picture);
        ResetAppState();
    }
    Bytes JpegBytes() const { return EncodeJpeg(11, 7, TopDownBgr(picture), JpegInput::Bgr); }
};

TEST_F(SourceImageJpegTest, JpegNamedBmpLoadsAsJpeg) {
    std::string name = folder.Path("photo.bmp");
    WriteWholeFile(name, JpegBytes());
    PackedDib image = LoadSourceImage(name.c_str());
    ASSERT_NE(image.block, nullptr);
    EXPECT_EQ(image.blockBytes, InfoHeaderBytes + 36 * 7);
    EXPECT_LE(LargestPixelDifference(image, picture), 12);
    ReleaseDib(image);
    EXPECT_EQ(OpenSourcePicture(name.c_str()), SourceVerdict::Loaded);
    EXPECT_EQ(appState.sourceWidth, 11);
    EXPECT_EQ(appState.sourceHeight, 7);
}

TEST_F(SourceImageJpegTest, BmpNamedJpgLoadsAsBmp) {
    std::string name = folder.Path("photo.jpg");
    WriteWholeFile(name, BmpFileBytes(BlockBytes(picture)));
    PackedDib image = LoadSourceImage(name.c_str());
    ASSERT_NE(image.block, nullptr);
    EXPECT_EQ(BlockBytes(image), BlockBytes(picture)); // byte for byte: no JPEG coding on the way
    ReleaseDib(image);
    EXPECT_EQ(OpenSourcePicture(name.c_str()), SourceVerdict::Loaded);
}

TEST_F(SourceImageJpegTest, EightBitBmpNamedJpgIsTheWrongFormat) {
    PackedDib eightBit = MakePicture(4, 2);
    Bytes block(InfoHeaderBytes + 1024 + 4 * 2, 0);
    std::copy_n(eightBit.block, InfoHeaderBytes, block.begin());
    WriteLe16(block.data() + 14, 8);
    std::string name = folder.Path("photo.jpg");
    WriteWholeFile(name, BmpFileBytes(block));
    EXPECT_EQ(OpenSourcePicture(name.c_str()), SourceVerdict::WrongFormat);
    EXPECT_EQ(appState.sourceImage.block, nullptr);
    ReleaseDib(eightBit);
}

TEST_F(SourceImageJpegTest, PictureWhoseMemoryCannotBeHadCannotBeOpened) {
    // 3000 x 2000 pixels take an 18 MB block, 2 MB more than the address space left to spare.
    // The large files are made in a child of their own, so that no free memory they leave in
    // this process's heap can serve the load.
    std::string small = folder.Path("small.jpg");
    WriteWholeFile(small, JpegBytes());
    ASSERT_EQ(RunInChild([this] {
                  PackedDib large = MakeSmoothPicture(3000, 2000);
                  WriteWholeFile(folder.Path("large.bmp"), BmpFileBytes(BlockBytes(large)));
                  WriteWholeFile(folder.Path("large.jpg"),
                                 EncodeJpeg(3000, 2000, TopDownBgr(large), JpegInput::Bgr));
                  return 0;
              }),
              0);
    for (const char* name : {"large.bmp", "large.jpg"}) {
        SCOPED_TRACE(name);
        std::string path = folder.Path(name);
        int status = RunInChild([&path, &small] {
            LimitAddressSpace(16 << 20);
            if (OpenSourcePicture(path.c_str()) != SourceVerdict::CannotOpen ||
                appState.sourceImage.block != nullptr)
                return 1;
            return OpenSourcePicture(small.c_str()) == SourceVerdict::Loaded ? 0 : 2;
        });
        EXPECT_EQ(status, 0);
    }
}

TEST_F(SourceImageJpegTest, DamagedJpegCannotBeOpened) {
    Bytes stream = JpegBytes();
    stream.resize(stream.size() / 2);
    std::string name = folder.Path("photo.jpg");
    WriteWholeFile(name, stream);
    EXPECT_EQ(LoadSourceImage(name.c_str()).block, nullptr);
    EXPECT_EQ(OpenSourcePicture(name.c_str()), SourceVerdict::CannotOpen);
    EXPECT_EQ(appState.sourceImage.block, nullptr);
}

} // namespace
