#include "platform/FileCalls.h"

#include "TestFiles.h"

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
    // A FIFO with no writer would block an ordinary open for ever.
    EXPECT_EQ(OpenFileForReading(folder.Path("fifo").c_str()), FileError);
    EXPECT_EQ(OpenFileForReading(folder.Path("").c_str()), FileError); // the folder itself
    EXPECT_EQ(OpenFileForReading("/dev/zero"), FileError);
    EXPECT_EQ(OpenFileForReading(folder.Path("missing").c_str()), FileError);
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

TEST(NewFile, NothingAppearsUntilFinished) {
    ScratchFolder folder;
    NewFile file;
    ASSERT_TRUE(CreateNewFile(folder.Path("out").c_str(), &file));
    ASSERT_TRUE(WriteNewFile(file, "abc", 3));
    EXPECT_FALSE(FileExists(folder.Path("out")));
    ASSERT_TRUE(FinishNewFile(file));
    EXPECT_EQ(ReadWholeFile(folder.Path("out")), (Bytes{'a', 'b', 'c'}));

    NewFile discarded;
    ASSERT_TRUE(CreateNewFile(folder.Path("out").c_str(), &discarded));
    ASSERT_TRUE(WriteNewFile(discarded, "xyz!", 4));
    DiscardNewFile(discarded);
    EXPECT_EQ(ReadWholeFile(folder.Path("out")), (Bytes{'a', 'b', 'c'}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out"});
}

TEST(NewFile, LongNamesStillGetATemporaryFile) {
    ScratchFolder folder;
    std::string name = folder.Path(std::string(250, 'n'));
    NewFile file;
    ASSERT_TRUE(CreateNewFile(name.c_str(), &file));
    ASSERT_TRUE(WriteNewFile(file, "abc", 3));
    ASSERT_TRUE(FinishNewFile(file));
    EXPECT_TRUE(FileExists(name));
}

} // namespace
