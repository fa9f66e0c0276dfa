#include "image/BmpFile.h"

#include "image/LittleEndian.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class BmpFileTest : public testing::Test {
  protected:
    // Writes the bytes to a file and reads it as the loader does: open, ReadBmp, close.
    Bytes ReadBack(const Bytes& file) {
        WriteWholeFile(folder.Path("in.bmp"), file);
        FileHandle handle = OpenFileForReading(folder.Path("in.bmp").c_str());
        PackedDib image = ReadBmp(handle);
        CloseFile(handle);
        Bytes bytes = BlockBytes(image);
        ReleaseDib(image);
        return bytes;
    }
    int Write(const std::string& name) { return WriteBmpFile(folder.Path(name).c_str(), sheet); }
    mode_t Mode(const std::string& name) {
        struct stat status {};
        lstat(folder.Path(name).c_str(), &status);
        return status.st_mode;
    }
    void TearDown() override { ReleaseDib(sheet); }

    ScratchFolder folder;
    PackedDib sheet = MakePicture(1, 1);
};

TEST_F(BmpFileTest, ReadsWholeBlocksWhateverTheFileHeaderSaysAndTurnsTopDownRows) {
    // bfOffBits 58 says the pixels start 4 bytes after the header; the reader ignores it, as it
    // ignores the magic and bfSize: the gap is taken as pixels.
    Bytes block = DibBlock(40, 1, 2, 24, 0, 0, 12);
    Bytes file = BmpFileBytes(block);
    file[0] = 'X';
    WriteLe32(file.data() + 2, 7);
    WriteLe32(file.data() + 10, 58);
    EXPECT_EQ(ReadBack(file), block);
    for (size_t blockBytes : {32767u, 32768u, 100000u}) { // around the chunk size
        block = DibBlock(40, 1, 1, 24, 0, 0, blockBytes - 40);
        for (size_t i = 44; i < blockBytes; ++i)
            block[i] = static_cast<uint8_t>(i * 7);
        EXPECT_TRUE(ReadBack(BmpFileBytes(block)) == block) << blockBytes;
    }
    for (int32_t height : {1, 4, 5}) { // top-down rows come back bottom-up
        PackedDib picture = MakePicture(3, height);
        EXPECT_EQ(ReadBack(BmpFileBytes(TopDownBytes(picture))), BlockBytes(picture)) << height;
        ReleaseDib(picture);
    }
}

TEST_F(BmpFileTest, WritesTheBlockBehindAFileHeaderWithTheUsualRights) {
    mode_t mask = umask(022);
    ASSERT_EQ(Write("one.bmp"), 1);
    umask(mask);
    Bytes file = ReadWholeFile(folder.Path("one.bmp"));
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14),
              (Bytes{'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0}));
    EXPECT_EQ(Bytes(file.begin() + 14, file.end()), BlockBytes(sheet));
    EXPECT_EQ(Mode("one.bmp") & 0777, 0644u); // a new file's usual rights
    // Links and the rights of a replaced file: through NewFile, in FileCallsTest.
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"one.bmp"});
}

TEST_F(BmpFileTest, FailedWritesKeepTheOldFileAndLeaveNoOther) {
    WriteWholeFile(folder.Path("precious.bmp"), Bytes(300, 0x42));
    EXPECT_EQ(WriteBmpFile(folder.Path("precious.bmp").c_str(), PackedDib{}), 0);
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(folder.Path("fifo.bmp").c_str(), 0644), 0);
    // Never a folder or a FIFO (or a device, refused alike) in place of a file.
    for (const char* name : {"no/such/folder.bmp", "", "folder.bmp", "fifo.bmp"})
        EXPECT_EQ(Write(name), 0) << name;
    ReleaseDib(sheet);
    sheet = MakePicture(300, 300);
    // A file-size limit makes the write fail part way, as a full disk would.
    EXPECT_EQ(RunInChild([&] {
                  LimitFileSize(4096);
                  return Write("precious.bmp");
              }),
              0);
    if (geteuid() != 0) { // root may write any file
        chmod(folder.Path("precious.bmp").c_str(), 0444);
        EXPECT_EQ(Write("precious.bmp"), 0);
    }
    EXPECT_EQ(ReadWholeFile(folder.Path("precious.bmp")), Bytes(300, 0x42));
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"fifo.bmp", "folder.bmp", "precious.bmp"}));
}

} // namespace
