// Hostile files through the whole source loading: the corpus of tests/data/bad (written by
// scripts/make-bad-files) and the things that are no files at all. Each must be refused with one
// of the loader's two messages and leave nothing allocated; the sanitizer run of the suite proves
// the second half.

#include "image/SourceImage.h"

#include "TestFiles.h"
#include "app/AppState.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class BadSourceFileTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        // A picture already loaded, so that each refusal shows it releases that one too.
        PackedDib picture = MakePicture(3, 2);
        WriteWholeFile(folder.Path("good.bmp"), BmpFileBytes(BlockBytes(picture)));
        ReleaseDib(picture);
    }
    void TearDown() override { ResetAppState(); }

    void ExpectRefused(const std::string& name) {
        ASSERT_EQ(OpenSourcePicture(folder.Path("good.bmp").c_str()), SourceVerdict::Loaded);
        SourceVerdict verdict = OpenSourcePicture(name.c_str());
        EXPECT_TRUE(verdict == SourceVerdict::CannotOpen || verdict == SourceVerdict::WrongFormat)
            << "loaded";
        EXPECT_EQ(appState.sourceImage.block, nullptr);
        EXPECT_EQ(appState.sourceWidth, 0);
        EXPECT_EQ(appState.sourceHeight, 0);
    }

    ScratchFolder folder;
};

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    std::string path = std::string(TEST_DATA_DIR) + "/bad";
    if (DIR* corpus = opendir(path.c_str())) {
        while (dirent* entry = readdir(corpus)) {
            if (entry->d_name[0] != '.')
                names.push_back(path + "/" + entry->d_name);
        }
        closedir(corpus);
    }
    return names;
}

TEST_F(BadSourceFileTest, EveryCorpusFileIsRefused) {
    std::vector<std::string> names = CorpusFiles();
    // 61 cut headers, the other BMP cases, the empty file and the JPEG cases.
    EXPECT_GE(names.size(), 110u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ExpectRefused(name);
    }
}

TEST_F(BadSourceFileTest, NamesOfWhatIsNoFileAreRefusedAtOnce) {
    // Reading any of these would block or never end; each is refused before a byte is read.
    ASSERT_EQ(mkfifo(folder.Path("fifo.jpg").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    ASSERT_EQ(symlink("/dev/zero", folder.Path("zero.bmp").c_str()), 0);
    ASSERT_EQ(symlink("loop.bmp", folder.Path("loop.bmp").c_str()), 0);
    for (const std::string& name :
         {folder.Path("fifo.jpg"), folder.Path("folder.bmp"), folder.Path(""),
          folder.Path("zero.bmp"), folder.Path("loop.bmp"), std::string("/dev/zero"),
          std::string("/dev/urandom"), std::string("/dev/null")}) {
        SCOPED_TRACE(name);
        ExpectRefused(name);
    }
}

} // namespace
