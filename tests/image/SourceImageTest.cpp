#include "image/SourceImage.h"

#include "TestFiles.h"
#include "app/AppState.h"
#include "image/LittleEndian.h"

#include <dirent.h>
#include <gtest/gtest.h>

namespace {

class OpenSourcePictureTest : public testing::Test {
  protected:
    void SetUp() override { ResetAppState(); }
    void TearDown() override { ResetAppState(); }
    ScratchFolder folder;
};

TEST_F(OpenSourcePictureTest, LoadsA24BitBmpWhateverItsName) {
    PackedDib picture = MakePicture(5, 3);
    WriteWholeFile(folder.Path("photo.jpg"), BmpFileBytes(BlockBytes(picture)));
    EXPECT_EQ(OpenSourcePicture(folder.Path("photo.jpg").c_str()), SourceVerdict::Loaded);
    EXPECT_EQ(appState.sourceWidth, 5);
    EXPECT_EQ(appState.sourceHeight, 3);
    EXPECT_EQ(BlockBytes(appState.sourceImage), BlockBytes(picture));
    ReleaseDib(picture);
}

TEST_F(OpenSourcePictureTest, WhatCannotBeLoadedOrPackedLeavesNoSource) {
    PackedDib picture = MakePicture(4, 4);
    Bytes good = BmpFileBytes(BlockBytes(picture));
    ReleaseDib(picture);
    Bytes sixteenBits = good;
    WriteLe16(sixteenBits.data() + 14 + 14, 16);
    Bytes zeroWide = good;
    WriteLe32(zeroWide.data() + 14 + 4, 0);
    Bytes withTable = good; // biClrUsed 2: the pixels start at 48
    WriteLe32(withTable.data() + 14 + 32, 2);
    withTable.resize(good.size() + 8);
    struct {
        const char* name;
        Bytes bytes;
        SourceVerdict verdict;
    } const cases[] = {
        {"empty", {}, SourceVerdict::CannotOpen},
        {"thirteen", Bytes(13, 'B'), SourceVerdict::CannotOpen},
        {"cut", Bytes(good.begin(), good.end() - 1), SourceVerdict::CannotOpen},
        {"sixteen", sixteenBits, SourceVerdict::WrongFormat},
        {"zero-wide", zeroWide, SourceVerdict::WrongFormat},
        {"colour-table", withTable, SourceVerdict::WrongFormat},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(folder.Path("good.bmp"), good);
        ASSERT_EQ(OpenSourcePicture(folder.Path("good.bmp").c_str()), SourceVerdict::Loaded);
        WriteWholeFile(folder.Path(c.name), c.bytes);
        EXPECT_EQ(OpenSourcePicture(folder.Path(c.name).c_str()), c.verdict);
        // The picture that was there is released first, so a failed open leaves none.
        EXPECT_EQ(appState.sourceImage.block, nullptr);
        EXPECT_EQ(appState.sourceWidth, 0);
    }
    EXPECT_EQ(OpenSourcePicture(folder.Path("missing.bmp").c_str()), SourceVerdict::CannotOpen);
    EXPECT_EQ(OpenSourcePicture(folder.Path("").c_str()), SourceVerdict::CannotOpen);
}

// Real files from a public suite: only the plain 24-bit one can be packed; nothing else may
// crash, hang or be packed.
TEST_F(OpenSourcePictureTest, PublicSuiteOfBmpFiles) {
    int files = 0;
    for (const char* group : {"g", "q", "b", "x"}) {
        std::string path = std::string(TEST_DATA_DIR) + "/bmpsuite/" + group;
        DIR* folderEntries = opendir(path.c_str());
        ASSERT_NE(folderEntries, nullptr) << path;
        while (dirent* entry = readdir(folderEntries)) {
            std::string name = entry->d_name;
            if (name.size() < 4 || name.substr(name.size() - 4) != ".bmp")
                continue;
            ++files;
            SCOPED_TRACE(std::string(group) + "/" + name);
            SourceVerdict verdict = OpenSourcePicture((path + "/" + name).c_str());
            bool packable = std::string(group) == "g" && name == "rgb24.bmp";
            EXPECT_EQ(verdict == SourceVerdict::Loaded, packable);
            if (packable) {
                EXPECT_EQ(appState.sourceWidth, 127);
                EXPECT_EQ(appState.sourceHeight, 64);
            }
        }
        closedir(folderEntries);
    }
    EXPECT_GT(files, 80);
}

TEST_F(OpenSourcePictureTest, SuiteVerdictsForKnownKinds) {
    auto open = [](const char* file) {
        return OpenSourcePicture((std::string(TEST_DATA_DIR) + "/bmpsuite/" + file).c_str());
    };
    EXPECT_EQ(open("g/pal8.bmp"), SourceVerdict::WrongFormat);  // offset 1064
    EXPECT_EQ(open("g/rgb32.bmp"), SourceVerdict::WrongFormat); // offset 40, 32 bits
    EXPECT_EQ(open("g/rgb16.bmp"), SourceVerdict::WrongFormat);
    EXPECT_EQ(open("g/pal8v5.bmp"), SourceVerdict::WrongFormat); // header of 124 bytes
    EXPECT_EQ(open("b/shortfile.bmp"), SourceVerdict::CannotOpen);
}

} // namespace
