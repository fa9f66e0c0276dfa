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
        loaded = LoadPackableSource(name.c_str());
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
    WriteWholeFile(folder.Path("cut.bmp"), BmpFileBytes(DibBlock(40, 5, 3, 24, 0, 0, 47)));
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    const int before = OpenFileCount();
    ASSERT_EQ(Load(folder.Path("bmp.jpg")), Loaded);
    EXPECT_EQ(BlockBytes(loaded.image), BlockBytes(picture));
    ASSERT_EQ(Load(folder.Path("jpeg.bmp")), Loaded);
    EXPECT_EQ(loaded.image.blockBytes, InfoHeaderBytes + 36 * 7);
    EXPECT_LE(LargestPixelDifference(loaded.image, picture), 12);
    for (const char* name : {"half.jpg", "cut.bmp", "missing.bmp", "folder.bmp"})
        EXPECT_EQ(Load(folder.Path(name)), CannotOpen) << name;
    EXPECT_EQ(Load(Data + "/bmpsuite/g/pal8.bmp"), WrongFormat);
    EXPECT_EQ(OpenFileCount(), before);
}

// A BMP file that holds all its header promises but is not an uncompressed 24-bit picture of at
// least 1 x 1 is in the wrong format; one that promises more than it holds cannot be opened.
TEST_F(SourceImageTest, EachKindOfBmpGetsItsVerdict) {
    // 24 bits, bottom-up and top-down.
    const Bytes packable[] = {DibBlock(40, 5, 3, 24, 0, 0, 48), DibBlock(40, 5, -3, 24, 0, 0, 48)};
    // RLE8, RLE4, bit fields; OS/2 core headers of 24 and 8 bits, and one with its pixels at 40;
    // a colour table, 8, 1 (33 wide), 16 and 32 bits; no width, no height, a negative width; the
    // V4 and V5 headers.
    const Bytes wrongFormat[] = {
        DibBlock(40, 5, 3, 8, 1, 2, 28),   DibBlock(40, 5, 3, 4, 2, 2, 20),
        DibBlock(40, 5, 3, 24, 3, 0, 48),  DibBlock(12, 5, 3, 24, 0, 0, 48),
        DibBlock(12, 5, 3, 8, 0, 0, 792),  DibBlock(34, 3, 2, 1, 0, 0, 16),
        DibBlock(40, 5, 3, 24, 0, 2, 56),  DibBlock(40, 5, 3, 8, 0, 0, 1048),
        DibBlock(40, 33, 2, 1, 0, 0, 24),  DibBlock(40, 5, 3, 16, 0, 0, 36),
        DibBlock(40, 5, 3, 32, 0, 0, 60),  DibBlock(40, 0, 3, 24, 0, 0, 48),
        DibBlock(40, 5, 0, 24, 0, 0, 48),  DibBlock(40, -5, 3, 24, 0, 0, 48),
        DibBlock(108, 5, 3, 24, 0, 0, 48), DibBlock(124, 5, 3, 24, 0, 0, 48)};
    // A header of 11 bytes, one cut short; all rows, one row and one 1-bit row cut short; colour
    // tables cut short, with and without compression; the rows of a picture 1 pixel wide cut short.
    const Bytes cannotOpen[] = {DibBlock(11, 5, 3, 24, 0, 0, 48), DibBlock(12, 5, 3, 24, 0, 0, 27),
                                DibBlock(40, 5, 3, 24, 0, 0, 47), DibBlock(40, 5, 1, 24, 0, 0, 15),
                                DibBlock(40, 33, 2, 1, 0, 0, 23), DibBlock(40, 5, 3, 8, 0, 0, 1000),
                                DibBlock(40, 5, 3, 8, 1, 2, 7),   DibBlock(40, 1, 3, 24, 0, 0, 11)};
    for (auto [blocks, count, verdict] : {std::tuple{packable, std::size(packable), Loaded},
                                          {wrongFormat, std::size(wrongFormat), WrongFormat},
                                          {cannotOpen, std::size(cannotOpen), CannotOpen}})
        for (size_t i = 0; i < count; ++i) {
            WriteWholeFile(folder.Path("kind.bmp"), BmpFileBytes(blocks[i]));
            EXPECT_EQ(Load(folder.Path("kind.bmp")), verdict) << i;
        }
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

// Real files from a public suite: every good one holds all its header promises, so it is in the
// wrong format unless it is the plain 24-bit one; no other may crash, hang or be packed.
TEST_F(SourceImageTest, PublicSuiteOfBmpFiles) {
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(Data + "/bmpsuite")) {
        if (entry.path().extension() != ".bmp")
            continue;
        ++files;
        SourceVerdict verdict = Load(entry.path());
        if (entry.path().parent_path().filename() != "g")
            EXPECT_NE(verdict, Loaded) << entry.path();
        else
            EXPECT_EQ(verdict, entry.path().filename() == "rgb24.bmp" ? Loaded : WrongFormat)
                << entry.path();
    }
    EXPECT_GT(files, 80u);
    ASSERT_EQ(Load(Data + "/bmpsuite/g/rgb24.bmp"), Loaded);
    EXPECT_EQ(ImageWidth(loaded.image.block), 127);
    EXPECT_EQ(ImageHeight(loaded.image.block), 64);
}

// The corpus of tests/data/bad (written by scripts/make-bad-files): the pictures that hold all
// they promise have no size or the wrong header; every other file is cut short or claims more
// than it holds. Names of what is no file at all, which reading would block on or never finish,
// cannot be opened.
TEST_F(SourceImageTest, HostileFilesAndNoFilesAreRefused) {
    const char* const unpackable[] = {"width-", "height-zero", "core-header", "v4-", "v5-"};
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(Data + "/bad")) {
        std::string name = entry.path().filename();
        bool whole = std::any_of(std::begin(unpackable), std::end(unpackable),
                                 [&](const char* part) { return name.find(part) != name.npos; });
        EXPECT_EQ(Load(entry.path()), whole ? WrongFormat : CannotOpen) << name;
        ++files;
    }
    EXPECT_GE(files, 110u); // 61 cut headers, the other BMP cases, the empty file and the JPEGs
    ASSERT_EQ(mkfifo(folder.Path("fifo.jpg").c_str(), 0644), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.Path("zero.bmp").c_str()), 0);
    ASSERT_EQ(symlink("loop.bmp", folder.Path("loop.bmp").c_str()), 0);
    for (const std::string& name :
         {folder.Path("fifo.jpg"), folder.Path(""), folder.Path("zero.bmp"),
          folder.Path("loop.bmp"), std::string("/dev/zero"), std::string("/dev/urandom")})
        EXPECT_EQ(Load(name), CannotOpen) << name;
}

} // namespace
