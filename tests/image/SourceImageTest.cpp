// Loading the source picture: the content decides the reader, never the name; whatever cannot be
// packed is refused with one of the loader's two verdicts and leaves no picture behind.

#include "image/SourceImage.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"
#include "support/TestJpegs.h"

#include <algorithm>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string Suite = std::string(TEST_DATA_DIR) + "/bmpsuite/";

class SourceImageTest : public testing::Test {
  protected:
    void SetUp() override {
        WriteWholeFile(folder.Path("good.bmp"), BmpFileBytes(BlockBytes(picture)));
    }
    void TearDown() override {
        ReleaseDib(picture);
        ReleaseDib(loaded.image);
    }

    // Loads `name`: a picture only with the verdict Loaded.
    SourceVerdict Load(const std::string& name) {
        ReleaseDib(loaded.image);
        loaded = LoadPackableSource(name.c_str(), {});
        EXPECT_EQ(loaded.image.block != nullptr, loaded.verdict == SourceVerdict::Loaded);
        return loaded.verdict;
    }

    PackedDib picture = MakeSmoothPicture(11, 7);
    PackableSource loaded;
    ScratchFolder folder;
};

TEST_F(SourceImageTest, BmpNamedJpgLoadsByteForByte) {
    std::string name = folder.Path("photo.jpg");
    WriteWholeFile(name, BmpFileBytes(BlockBytes(picture)));
    ASSERT_EQ(Load(name), SourceVerdict::Loaded);
    EXPECT_EQ(BlockBytes(loaded.image), BlockBytes(picture));
}

TEST_F(SourceImageTest, JpegNamedBmpLoadsAsJpeg) {
    std::string name = folder.Path("photo.bmp");
    WriteWholeFile(name, EncodePicture(picture));
    ASSERT_EQ(Load(name), SourceVerdict::Loaded);
    EXPECT_EQ(loaded.image.blockBytes, InfoHeaderBytes + 36 * 7);
    EXPECT_LE(LargestPixelDifference(loaded.image, picture), 12);
}

TEST_F(SourceImageTest, WhatCannotBeLoadedOrPackedLeavesNoSource) {
    Bytes good = BmpFileBytes(BlockBytes(picture));
    Bytes zeroWide = good;
    WriteLe32(zeroWide.data() + 14 + 4, 0);
    Bytes halfJpeg = EncodePicture(picture);
    halfJpeg.resize(halfJpeg.size() / 2);
    struct {
        const char* name;
        Bytes bytes;
        SourceVerdict verdict;
    } const cases[] = {
        {"empty", {}, SourceVerdict::CannotOpen},
        {"thirteen", Bytes(13, 'B'), SourceVerdict::CannotOpen},
        {"cut", Bytes(good.begin(), good.end() - 1), SourceVerdict::CannotOpen},
        {"zero-wide", zeroWide, SourceVerdict::WrongFormat},
        {"half.jpg", halfJpeg, SourceVerdict::CannotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(folder.Path(c.name), c.bytes);
        EXPECT_EQ(Load(folder.Path(c.name)), c.verdict);
    }
    const std::pair<std::string, SourceVerdict> named[] = {
        {folder.Path("missing.bmp"), SourceVerdict::CannotOpen},
        {Suite + "q/rgb24jpeg.bmp", SourceVerdict::WrongFormat}, // JPEG pixels inside
        {Suite + "q/rgb24png.bmp", SourceVerdict::WrongFormat},
        {Suite + "b/shortfile.bmp", SourceVerdict::CannotOpen},
    };
    for (const auto& [name, verdict] : named) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Load(name), verdict);
    }
}

TEST_F(SourceImageTest, PictureWhoseMemoryCannotBeHadCannotBeOpened) {
    // 3000 x 2000 pixels take an 18 MB block, 2 MB more than the address space left to spare.
    // The large files are made in a child of their own, so that no free memory they leave in
    // this process's heap can serve the load.
    ASSERT_EQ(RunInChild([this] {
                  PackedDib large = MakeSmoothPicture(3000, 2000);
                  WriteWholeFile(folder.Path("large.bmp"), BmpFileBytes(BlockBytes(large)));
                  WriteWholeFile(folder.Path("large.jpg"), EncodePicture(large));
                  return 0;
              }),
              0);
    for (const char* name : {"large.bmp", "large.jpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(RunInChild([this, name] {
                      LimitAddressSpace(16 << 20);
                      PackableSource large = LoadPackableSource(folder.Path(name).c_str(), {});
                      if (large.verdict != SourceVerdict::CannotOpen ||
                          large.image.block != nullptr)
                          return 1;
                      return Load(folder.Path("good.bmp")) == SourceVerdict::Loaded ? 0 : 2;
                  }),
                  0);
    }
}

std::vector<std::string> FilesIn(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* folder = opendir(path.c_str())) {
        while (dirent* entry = readdir(folder))
            if (entry->d_name[0] != '.')
                names.push_back(path + "/" + entry->d_name);
        closedir(folder);
    }
    return names;
}

// The corpus of tests/data/bad (written by scripts/make-bad-files) and names of what is no file
// at all, which reading would block on or never finish: each is refused; the sanitizer run of the
// suite proves nothing is left allocated.
TEST_F(SourceImageTest, HostileFilesAndNoFilesAreRefused) {
    std::vector<std::string> names = FilesIn(std::string(TEST_DATA_DIR) + "/bad");
    // 61 cut headers, the other BMP cases, the empty file, the JPEG and the PNG cases.
    EXPECT_GE(names.size(), 135u);
    ASSERT_EQ(mkfifo(folder.Path("fifo.jpg").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.Path("zero.bmp").c_str()), 0);
    ASSERT_EQ(symlink("loop.bmp", folder.Path("loop.bmp").c_str()), 0);
    for (const char* name : {"fifo.jpg", "folder.bmp", "", "zero.bmp", "loop.bmp"})
        names.push_back(folder.Path(name));
    names.insert(names.end(), {"/dev/zero", "/dev/urandom", "/dev/null"});
    // Sound pictures all the same: header forms that are now converted, a 24-bit file whose
    // colour-table count plays no part, streams cut only in their end marker or chunk, or in the
    // padding bits after their last block; and PNG palette indices past the table, which the
    // decoder shows black.
    const std::string Bad = std::string(TEST_DATA_DIR) + "/bad/";
    std::vector<std::string> sound;
    for (const char* name :
         {"bmp-core-header.bmp", "bmp-v4-header.bmp", "bmp-v5-header.bmp", "bmp-clrused-huge.bmp",
          "jpeg-cut-at-0905.jpg", "jpeg-cut-at-0906.jpg", "png-cut-at-0223.png",
          "png-cut-at-0235.png", "png-index-past-palette.png"})
        sound.push_back(Bad + name);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        bool whole = std::find(sound.begin(), sound.end(), name) != sound.end();
        EXPECT_EQ(Load(name) == SourceVerdict::Loaded, whole);
    }
}

} // namespace
