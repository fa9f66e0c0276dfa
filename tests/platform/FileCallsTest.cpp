#include "platform/FileCalls.h"

#include "support/TestFiles.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Nothing appears until finished, a discarded file leaves the old one, and even a name at the
// length limit gets a temporary file beside it.
TEST(NewFile, ReplacesTheTargetOnlyWhenFinished) {
    ScratchFolder folder;
    for (const std::string& name : {std::string("out"), std::string(250, 'n')}) {
        std::string path = folder.Path(name);
        NewFile file, discarded;
        ASSERT_TRUE(CreateNewFile(path.c_str(), &file));
        ASSERT_TRUE(WriteNewFile(file, "abc", 3));
        ASSERT_TRUE(WriteNewFile(file, "d", 1));
        EXPECT_FALSE(std::filesystem::exists(path));
        ASSERT_TRUE(FinishNewFile(file));
        ASSERT_TRUE(CreateNewFile(path.c_str(), &discarded));
        ASSERT_TRUE(WriteNewFile(discarded, "xyz!", 4));
        DiscardNewFile(discarded);
        EXPECT_EQ(ReadTextFile(path), "abcd");
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{name});
        std::remove(path.c_str());
    }
}

// The replaced file is left with no name in the folder and no descriptor of the writer's, its
// blocks for the file system to free once the last holder lets go.
TEST(NewFile, LeavesTheReplacedFileWithoutNameOrDescriptor) {
    ScratchFolder folder;
    std::string path = folder.Path("sheet");
    WriteTextFile(path, "old");
    int old = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int openFiles = OpenFileCount();
    NewFile file;
    ASSERT_TRUE(CreateNewFile(path.c_str(), &file));
    ASSERT_TRUE(WriteNewFile(file, "new", 3));
    ASSERT_TRUE(FinishNewFile(file));
    EXPECT_EQ(OpenFileCount(), openFiles);
    struct stat status {};
    ASSERT_EQ(fstat(old, &status), 0);
    EXPECT_EQ(status.st_nlink, 0u);
    EXPECT_EQ(ReadTextFile(path), "new");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"sheet"});
    close(old);
}

} // namespace
