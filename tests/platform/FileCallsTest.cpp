#include "platform/FileCalls.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(OpenFileForReading, OnlyRegularFilesAndNeverWaits) {
    ScratchFolder folder;
    WriteWholeFile(folder.Path("plain"), Bytes{1, 2, 3});
    ASSERT_EQ(mkfifo(folder.Path("fifo").c_str(), 0644), 0);
    FileHandle plain = OpenFileForReading(folder.Path("plain").c_str());
    EXPECT_NE(plain, FileError);
    CloseFile(plain);
    // A FIFO with no writer would block an ordinary open for ever; "" names the folder itself.
    for (const std::string& name :
         {folder.Path("fifo"), folder.Path(""), std::string("/dev/zero"), folder.Path("missing")})
        EXPECT_EQ(OpenFileForReading(name.c_str()), FileError) << name;
}

TEST(ReadAndSeek, LengthFromTheEndAndShortReadsAtIt) {
    ScratchFolder folder;
    WriteWholeFile(folder.Path("ten"), Bytes{0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    FileHandle file = OpenFileForReading(folder.Path("ten").c_str());
    uint8_t buffer[16] = {};
    EXPECT_EQ(ReadFileBytes(file, buffer, 4), 4);
    EXPECT_EQ(SeekFile(file, 0, SeekFromCurrent), 4);
    EXPECT_EQ(SeekFile(file, 0, SeekFromEnd), 10);
    EXPECT_EQ(SeekFile(file, 8, SeekFromStart), 8);
    EXPECT_EQ(ReadFileBytes(file, buffer, 16), 2);
    EXPECT_EQ(buffer[1], 9);
    EXPECT_EQ(SeekFile(file, 0, 7), -1);
    CloseFile(file);
}

// Nothing appears until finished, a discarded file leaves the old one, and even a name at the
// length limit gets a temporary file beside it.
TEST(NewFile, ReplacesTheTargetOnlyWhenFinished) {
    ScratchFolder folder;
    for (const std::string& name : {std::string("out"), std::string(250, 'n')}) {
        SCOPED_TRACE(name.size());
        std::string path = folder.Path(name);
        NewFile file, discarded;
        ASSERT_TRUE(CreateNewFile(path.c_str(), &file));
        ASSERT_TRUE(WriteNewFile(file, "abc", 3));
        EXPECT_FALSE(FileExists(path));
        ASSERT_TRUE(FinishNewFile(file));
        ASSERT_TRUE(CreateNewFile(path.c_str(), &discarded));
        ASSERT_TRUE(WriteNewFile(discarded, "xyz!", 4));
        DiscardNewFile(discarded);
        EXPECT_EQ(ReadWholeFile(path), (Bytes{'a', 'b', 'c'}));
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{name});
        std::remove(path.c_str());
    }
}

} // namespace
