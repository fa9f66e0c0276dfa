// Loading the source picture: the content decides the reader, never the name; whatever cannot be
// packed is refused with one of the loader's two verdicts and leaves no picture and no open file
// behind.

#include "image/SourceImage.h"

#include "support/TestJpegs.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using enum SourceVerdict;
const std::string Data = TEST_DATA_DIR;

class SourceImageTest : public testing::Test {
  protected:
    void TearDown() override {
        ReleaseDib(picture);
        ReleaseDib(loaded.image);
    }
    // Loads `name`: a picture only with the verdict Loaded.
    SourceVerdict Load(const std::string& name) {
        ReleaseDib(loaded.image);
        loaded = LoadPackableSource(name.c_str(), {});
        EXPECT_EQ(loaded.image.block != nullptr, loaded.verdict == Loaded) << name;
        return loaded.verdict;
    }

    PackedDib picture = MakePicture(11, 7);
    PackableSource loaded;
    ScratchFolder folder;
};

TEST_F(SourceImageTest, ContentDecidesTheReaderAndNoFileStaysOpen) {
    Bytes jpeg = EncodePicture(picture);
    WriteWholeFile(folder.Path("bmp.jpg"), BmpFileBytes(BlockBytes(picture)));
    WriteWholeFile(folder.Path("jpeg.bmp"), jpeg);
    WriteWholeFile(folder.Path("half.jpg"), Bytes(jpeg.begin(), jpeg.begin() + 300));
    // Found by fuzzing: the decoder skips stray bytes between the start marker and the next one,
    // so the loader takes a stream for JPEG by its start marker alone, as the reader does.
    jpeg.insert(jpeg.begin() + 2, 20, 0x00);
    WriteWholeFile(folder.Path("stray.bmp"), jpeg);
    WriteWholeFile(folder.Path("cut.bmp"), BmpFileBytes(DibBlock(40, 5, 3, 24, 0, 0, 47)));
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    const int before = OpenFileCount();
    ASSERT_EQ(Load(folder.Path("bmp.jpg")), Loaded);
    EXPECT_EQ(BlockBytes(loaded.image), BlockBytes(picture));
    for (const char* name : {"jpeg.bmp", "stray.bmp"}) {
        ASSERT_EQ(Load(folder.Path(name)), Loaded);
        EXPECT_EQ(loaded.image.blockBytes, InfoHeaderBytes + 36 * 7);
        EXPECT_LE(LargestPixelDifference(loaded.image, picture), 12);
    }
    for (const char* name : {"half.jpg", "cut.bmp", "missing.bmp", "folder.bmp"})
        EXPECT_EQ(Load(folder.Path(name)), CannotOpen) << name;
    EXPECT_EQ(Load(Data + "/bmpsuite/q/rgb24jpeg.bmp"), WrongFormat); // JPEG pixels inside
    EXPECT_EQ(OpenFileCount(), before);
}

// A BMP file that promises more than it holds, or whose offsets contradict its header, cannot be
// opened; the forms that are packed, converted or in the wrong format are in BmpConversionTest and
// the corpus of tests/data/bad. (Every file here has its pixels at 54, as its file header says.)
TEST_F(SourceImageTest, EachKindOfBmpGetsItsVerdict) {
    // A header of 11 and of 34 bytes, one cut short; one row and one 1-bit row cut short; colour
    // tables that overrun the pixels, with and without compression; the rows of a picture 1 pixel
    // wide cut short; bit fields of 24 bits; a V4 header its pixels lie inside.
    const Bytes cannotOpen[] = {
        DibBlock(11, 5, 3, 24, 0, 0, 48), DibBlock(34, 3, 2, 1, 0, 0, 16),
        DibBlock(12, 5, 3, 24, 0, 0, 27), DibBlock(40, 5, 1, 24, 0, 0, 15),
        DibBlock(40, 33, 2, 1, 0, 0, 23), DibBlock(40, 5, 3, 8, 0, 0, 1000),
        DibBlock(40, 5, 3, 8, 1, 2, 28),  DibBlock(40, 1, 3, 24, 0, 0, 11),
        DibBlock(40, 5, 3, 24, 3, 0, 48), DibBlock(108, 5, 3, 24, 0, 0, 48)};
    for (const Bytes& block : cannotOpen) {
        WriteWholeFile(folder.Path("kind.bmp"), BmpFileBytes(block));
        EXPECT_EQ(Load(folder.Path("kind.bmp")), CannotOpen) << &block - cannotOpen;
    }
    WriteWholeFile(folder.Path("kind.bmp"), BmpFileBytes(TopDownBytes(picture)));
    ASSERT_EQ(Load(folder.Path("kind.bmp")), Loaded);
    EXPECT_EQ(BlockBytes(loaded.image), BlockBytes(picture)); // turned bottom-up
}

TEST_F(SourceImageTest, PictureWhoseMemoryCannotBeHadCannotBeOpened) {
    // 3000 x 2000 pixels take an 18 MB block, 2 MB more than the address space left to spare.
    // The large files are made in a child of their own, so that no free memory they leave in
    // this process's heap can serve the load.
    ASSERT_EQ(RunInChild([this] {
                  PackedDib large = MakePicture(3000, 2000);
                  WriteWholeFile(folder.Path("large.bmp"), BmpFileBytes(BlockBytes(large)));
                  WriteWholeFile(folder.Path("large.jpg"), EncodePicture(large));
                  return 0;
              }),
              0);
    WriteWholeFile(folder.Path("good.bmp"), BmpFileBytes(BlockBytes(picture)));
    for (const char* name : {"large.bmp", "large.jpg"}) {
        EXPECT_EQ(RunInChild([this, name] {
                      LimitAddressSpace(16 << 20);
                      if (Load(folder.Path(name)) != CannotOpen)
                          return 1;
                      return Load(folder.Path("good.bmp")) == Loaded ? 0 : 2;
                  }),
                  0)
            << name;
    }
}

// The corpus of tests/data/bad (written by scripts/make-bad-files): the pictures that hold all
// they promise have no size; a few are sound pictures all the same (header forms that are
// converted, a 24-bit file whose colour-table count plays no part, streams cut only in their end
// marker or chunk or in the padding after their last block, PNG palette indices past the table,
// which the decoder shows black); every other file is cut short or claims more than it holds.
// Names of what is no file at all, which reading would block on or never finish, cannot be
// opened.
TEST_F(SourceImageTest, HostileFilesAndNoFilesAreRefused) {
    const char* const unpackable[] = {"width-", "height-zero"};
    const char* const sound[] = {
        "bmp-core-header.bmp",  "bmp-v4-header.bmp",    "bmp-v5-header.bmp",
        "bmp-clrused-huge.bmp", "jpeg-cut-at-0905.jpg", "jpeg-cut-at-0906.jpg",
        "png-cut-at-0223.png",  "png-cut-at-0235.png",  "png-index-past-palette.png"};
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Data + "/bad")) {
        std::string name = entry.path().filename();
        auto named = [&name](const char* part) { return name.find(part) != name.npos; };
        SourceVerdict verdict = std::any_of(std::begin(sound), std::end(sound), named) ? Loaded
                                : std::any_of(std::begin(unpackable), std::end(unpackable), named)
                                    ? WrongFormat
                                    : CannotOpen;
        EXPECT_EQ(Load(entry.path()), verdict) << name;
        ++files;
    }
    EXPECT_GE(files, 135u); // 61 cut headers, the other BMP cases, the empty file, JPEGs, PNGs
    ASSERT_EQ(mkfifo(folder.Path("fifo.jpg").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.Path("zero.bmp").c_str()), 0);
    ASSERT_EQ(symlink("loop.bmp", folder.Path("loop.bmp").c_str()), 0);
    for (const std::string& name :
         {folder.Path("fifo.jpg"), folder.Path(""), folder.Path("zero.bmp"),
          folder.Path("loop.bmp"), std::string("/dev/zero"), std::string("/dev/urandom")})
        EXPECT_EQ(Load(name), CannotOpen) << name;
}

} // namespace
