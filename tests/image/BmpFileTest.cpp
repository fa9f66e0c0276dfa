#include "image/BmpFile.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Writes the bytes to a file and reads it as the loader does: open, ReadBmp, close. The
// block's bytes, or nothing.
std::optional<Bytes> ReadBmpBytes(const ScratchFolder& folder, const Bytes& file) {
    WriteWholeFile(folder.Path("in.bmp"), file);
    FileHandle handle = OpenFileForReading(folder.Path("in.bmp").c_str());
    if (handle == FileError)
        return std::nullopt;
    PackedDib image = ReadBmp(handle);
    CloseFile(handle);
    if (image.block == nullptr)
        return std::nullopt;
    Bytes bytes = BlockBytes(image);
    ReleaseDib(image);
    return bytes;
}

TEST(ReadBmp, FilesTooShortForTheirHeadersOrRowsYieldNone) {
    ScratchFolder folder;
    Bytes whole = BmpFileBytes(PictureBytes(1, 1));
    for (std::ptrdiff_t length = 0; length < 54; ++length)
        EXPECT_FALSE(ReadBmpBytes(folder, Bytes(whole.begin(), whole.begin() + length))) << length;
    EXPECT_TRUE(ReadBmpBytes(folder, whole));
    Bytes cut = BmpFileBytes(PictureBytes(5, 3));
    cut.pop_back();
    EXPECT_FALSE(ReadBmpBytes(folder, cut));
}

TEST(ReadBmp, FileHeaderIsNotExaminedAndAGapIsTakenAsPixels) {
    // bfOffBits 58 says the pixels start 4 bytes after the header; the reader ignores it, as it
    // ignores the magic and bfSize.
    ScratchFolder folder;
    Bytes block = PictureBytes(1, 1);
    Bytes gapped(block.begin(), block.begin() + 40);
    for (int gap : {0x11, 0x22, 0x33, 0x44})
        gapped.push_back(static_cast<uint8_t>(gap));
    gapped.insert(gapped.end(), block.begin() + 40, block.end());
    Bytes file = BmpFileBytes(gapped);
    file[0] = 'X';
    file[1] = 'Y';
    WriteLe32(file.data() + 2, 7);
    WriteLe32(file.data() + 10, 58);
    EXPECT_EQ(ReadBmpBytes(folder, file), gapped);
}

TEST(ReadBmp, WholeBlocksAroundTheChunkSizeAndTopDownRowsFlipped) {
    ScratchFolder folder;
    for (size_t blockBytes : {32767u, 32768u, 100000u}) {
        Bytes block = PictureBytes(1, 1);
        for (size_t i = block.size(); i < blockBytes; ++i)
            block.push_back(static_cast<uint8_t>(i * 7));
        EXPECT_EQ(ReadBmpBytes(folder, BmpFileBytes(block)), block) << blockBytes;
    }
    PackedDib picture = MakePicture(3, 4);
    EXPECT_EQ(ReadBmpBytes(folder, BmpFileBytes(TopDownBytes(picture))), BlockBytes(picture));
    ReleaseDib(picture);
}

class WriteBmpFileTest : public testing::Test {
  protected:
    int Write(const std::string& name) { return WriteBmpFile(name.c_str(), sheet); }
    void TearDown() override { ReleaseDib(sheet); }
    ScratchFolder folder;
    PackedDib sheet = MakePicture(2, 2);
};

TEST_F(WriteBmpFileTest, OnePixelSheetIsFiftyEightBytes) {
    ReleaseDib(sheet);
    sheet = MakePicture(1, 1);
    ASSERT_EQ(Write(folder.Path("one.bmp")), 1);
    Bytes file = ReadWholeFile(folder.Path("one.bmp"));
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14),
              (Bytes{'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}));
    EXPECT_EQ(Bytes(file.begin() + 14, file.end()), BlockBytes(sheet));
}

TEST_F(WriteBmpFileTest, ReplacesAFileKeepingItsPermissionsAndLinks) {
    std::string name = folder.Path("old.bmp");
    WriteWholeFile(name, Bytes(5000, 0x55));
    chmod(name.c_str(), 0640);
    ASSERT_EQ(symlink("old.bmp", folder.Path("link.bmp").c_str()), 0);
    ASSERT_EQ(Write(folder.Path("link.bmp")), 1);
    EXPECT_EQ(ReadWholeFile(name), BmpFileBytes(BlockBytes(sheet)));
    struct stat status {};
    stat(name.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    lstat(folder.Path("link.bmp").c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"link.bmp", "old.bmp"}));

    mode_t old = umask(022); // a new file gets the usual permissions
    ASSERT_EQ(Write(folder.Path("new.bmp")), 1);
    umask(old);
    stat(folder.Path("new.bmp").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
}

TEST_F(WriteBmpFileTest, FailuresTouchNoFile) {
    EXPECT_EQ(WriteBmpFile(folder.Path("none.bmp").c_str(), PackedDib{}), 0);
    // Never a folder, a FIFO or a device in place of a file.
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(folder.Path("fifo.bmp").c_str(), 0644), 0);
    for (const std::string& name :
         {folder.Path("no/such/folder.bmp"), std::string(""), folder.Path("folder.bmp"),
          folder.Path("fifo.bmp"), std::string("/dev/null")})
        EXPECT_EQ(Write(name), 0) << name;
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"fifo.bmp", "folder.bmp"}));
}

TEST_F(WriteBmpFileTest, ReadOnlyFileOrFullDiskKeepsTheOldFileAndLeavesNoPartialOne) {
    std::string name = folder.Path("precious.bmp");
    WriteWholeFile(name, Bytes(300, 0x42));
    ReleaseDib(sheet);
    sheet = MakePicture(300, 300);
    // A file-size limit makes the write fail partway, as a full disk would.
    EXPECT_EQ(RunInChild([&] {
                  LimitFileSize(4096);
                  return Write(name);
              }),
              0);
    if (geteuid() != 0) { // root may write any file
        chmod(name.c_str(), 0444);
        EXPECT_EQ(Write(name), 0);
    }
    EXPECT_EQ(ReadWholeFile(name), Bytes(300, 0x42));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"precious.bmp"});
}

} // namespace
