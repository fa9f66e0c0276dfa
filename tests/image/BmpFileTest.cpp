#include "image/BmpFile.h"

#include "TestFiles.h"
#include "image/LittleEndian.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Reads the file as the loader does: open, ReadBmp, close. The block's bytes, or nothing.
std::optional<Bytes> ReadBmpBytes(const std::string& name) {
    FileHandle file = OpenFileForReading(name.c_str());
    if (file == FileError)
        return std::nullopt;
    PackedDib image = ReadBmp(file);
    CloseFile(file);
    if (image.block == nullptr)
        return std::nullopt;
    Bytes bytes = BlockBytes(image);
    ReleaseDib(image);
    return bytes;
}

TEST(ReadBmp, FilesTooShortForTheirHeadersYieldNone) {
    ScratchFolder folder;
    Bytes whole = BmpFileBytes(PictureBytes(1, 1));
    for (size_t length = 0; length < 54; ++length) {
        WriteWholeFile(folder.Path("short.bmp"), Bytes(whole.begin(), whole.begin() + length));
        EXPECT_FALSE(ReadBmpBytes(folder.Path("short.bmp"))) << length << " bytes";
    }
    WriteWholeFile(folder.Path("whole.bmp"), whole);
    EXPECT_TRUE(ReadBmpBytes(folder.Path("whole.bmp")));
    // Rows cut short by one byte.
    Bytes cut = BmpFileBytes(PictureBytes(5, 3));
    cut.pop_back();
    WriteWholeFile(folder.Path("cut.bmp"), cut);
    EXPECT_FALSE(ReadBmpBytes(folder.Path("cut.bmp")));
}

TEST(ReadBmp, FileHeaderIsNotExamined) {
    ScratchFolder folder;
    Bytes block = PictureBytes(3, 2);
    Bytes file = BmpFileBytes(block);
    file[0] = 'X';
    file[1] = 'Y';
    WriteLe32(file.data() + 2, 7);      // bfSize
    WriteLe32(file.data() + 10, 99999); // bfOffBits
    WriteWholeFile(folder.Path("odd.bmp"), file);
    EXPECT_EQ(ReadBmpBytes(folder.Path("odd.bmp")), block);
}

TEST(ReadBmp, GapAfterTheHeaderIsTakenAsPixels) {
    // bfOffBits 58 says the pixels start 4 bytes after the header; the reader ignores it.
    ScratchFolder folder;
    Bytes block = PictureBytes(1, 1);
    Bytes gapped(block.begin(), block.begin() + 40);
    for (int gap : {0x11, 0x22, 0x33, 0x44})
        gapped.push_back(static_cast<uint8_t>(gap));
    gapped.insert(gapped.end(), block.begin() + 40, block.end());
    Bytes file = BmpFileBytes(gapped);
    WriteLe32(file.data() + 10, 58);
    WriteWholeFile(folder.Path("gap.bmp"), file);
    std::optional<Bytes> read = ReadBmpBytes(folder.Path("gap.bmp"));
    ASSERT_TRUE(read);
    EXPECT_EQ((Bytes(read->begin() + 40, read->begin() + 44)), (Bytes{0x11, 0x22, 0x33, 0x44}));
}

TEST(ReadBmp, BlocksAroundTheChunkSizeArriveWhole) {
    ScratchFolder folder;
    for (size_t blockBytes : {32767u, 32768u, 100000u}) {
        Bytes block = PictureBytes(1, 1);
        for (size_t i = block.size(); i < blockBytes; ++i)
            block.push_back(static_cast<uint8_t>(i * 7));
        WriteWholeFile(folder.Path("big.bmp"), BmpFileBytes(block));
        EXPECT_EQ(ReadBmpBytes(folder.Path("big.bmp")), block) << blockBytes;
    }
}

TEST(ReadBmp, TopDownPictureArrivesBottomUp) {
    ScratchFolder folder;
    PackedDib picture = MakePicture(3, 4);
    WriteWholeFile(folder.Path("topdown.bmp"), BmpFileBytes(TopDownBytes(picture)));
    EXPECT_EQ(ReadBmpBytes(folder.Path("topdown.bmp")), BlockBytes(picture));
    ReleaseDib(picture);
}

TEST(WriteBmpFile, OnePixelSheetIsFiftyEightBytes) {
    ScratchFolder folder;
    PackedDib sheet = MakePicture(1, 1);
    ASSERT_EQ(WriteBmpFile(folder.Path("one.bmp").c_str(), sheet, sheet.blockBytes), 1);
    Bytes file = ReadWholeFile(folder.Path("one.bmp"));
    ASSERT_EQ(file.size(), 58u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(ReadLe32(file.data() + 2), 58u);
    EXPECT_EQ(ReadLe32(file.data() + 6), 0u);
    EXPECT_EQ(ReadLe32(file.data() + 10), 54u);
    EXPECT_EQ(Bytes(file.begin() + 14, file.end()), BlockBytes(sheet));
    EXPECT_EQ(ReadBmpBytes(folder.Path("one.bmp")), BlockBytes(sheet)); // and reads back
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, ReplacesAnExistingFileEntirely) {
    ScratchFolder folder;
    std::string name = folder.Path("old.bmp");
    WriteWholeFile(name, Bytes(5000, 0x55));
    chmod(name.c_str(), 0640);
    PackedDib sheet = MakePicture(2, 2);
    ASSERT_EQ(WriteBmpFile(name.c_str(), sheet, sheet.blockBytes), 1);
    EXPECT_EQ(ReadWholeFile(name), BmpFileBytes(BlockBytes(sheet)));
    struct stat status {};
    stat(name.c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u); // the replaced file's permissions stay
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"old.bmp"});
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, NewFileGetsTheUsualPermissions) {
    ScratchFolder folder;
    mode_t old = umask(022);
    PackedDib sheet = MakePicture(2, 2);
    ASSERT_EQ(WriteBmpFile(folder.Path("new.bmp").c_str(), sheet, sheet.blockBytes), 1);
    umask(old);
    struct stat status {};
    stat(folder.Path("new.bmp").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0644u);
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, WritesThroughASymbolicLink) {
    ScratchFolder folder;
    WriteWholeFile(folder.Path("real.bmp"), Bytes(10, 1));
    ASSERT_EQ(symlink("real.bmp", folder.Path("link.bmp").c_str()), 0);
    PackedDib sheet = MakePicture(2, 2);
    ASSERT_EQ(WriteBmpFile(folder.Path("link.bmp").c_str(), sheet, sheet.blockBytes), 1);
    EXPECT_EQ(ReadWholeFile(folder.Path("real.bmp")), BmpFileBytes(BlockBytes(sheet)));
    struct stat status {};
    lstat(folder.Path("link.bmp").c_str(), &status);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, FailuresTouchNoFile) {
    ScratchFolder folder;
    PackedDib sheet = MakePicture(2, 2);
    EXPECT_EQ(WriteBmpFile(folder.Path("none.bmp").c_str(), PackedDib{}, 56), 0);
    EXPECT_EQ(WriteBmpFile(folder.Path("no/such/folder.bmp").c_str(), sheet, sheet.blockBytes), 0);
    EXPECT_EQ(WriteBmpFile(folder.Path("long.bmp").c_str(), sheet, sheet.blockBytes + 1), 0);
    EXPECT_EQ(WriteBmpFile("", sheet, sheet.blockBytes), 0);
    // Never a folder, a FIFO or a device in place of a file.
    ASSERT_EQ(mkdir(folder.Path("folder.bmp").c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(folder.Path("fifo.bmp").c_str(), 0644), 0);
    EXPECT_EQ(WriteBmpFile(folder.Path("folder.bmp").c_str(), sheet, sheet.blockBytes), 0);
    EXPECT_EQ(WriteBmpFile(folder.Path("fifo.bmp").c_str(), sheet, sheet.blockBytes), 0);
    EXPECT_EQ(WriteBmpFile("/dev/null", sheet, sheet.blockBytes), 0);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"fifo.bmp", "folder.bmp"}));
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, ReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    ScratchFolder folder;
    std::string name = folder.Path("kept.bmp");
    WriteWholeFile(name, Bytes(100, 0x42));
    chmod(name.c_str(), 0444);
    PackedDib sheet = MakePicture(2, 2);
    EXPECT_EQ(WriteBmpFile(name.c_str(), sheet, sheet.blockBytes), 0);
    EXPECT_EQ(ReadWholeFile(name), Bytes(100, 0x42));
    ReleaseDib(sheet);
}

TEST(WriteBmpFile, FullDiskKeepsTheOldFileAndLeavesNoPartialOne) {
    // A file-size limit makes the write fail partway, as a full disk would.
    ScratchFolder folder;
    std::string name = folder.Path("precious.bmp");
    WriteWholeFile(name, Bytes(300, 0x42));
    PackedDib sheet = MakePicture(300, 300);
    pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(WriteBmpFile(name.c_str(), sheet, sheet.blockBytes));
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadWholeFile(name), Bytes(300, 0x42));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"precious.bmp"});
    ReleaseDib(sheet);
}

} // namespace
