#include "platform/FileCalls.h"

#include "platform/StopSignals.h"
#include "support/TestFiles.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// The temporary file's name without its six random characters.
std::string TemporaryStem(const NewFile& file) {
    std::string name = fs::path(file.temporaryName).filename();
    return name.size() > 6 ? name.substr(0, name.size() - 6) : "";
}

// The stem a temporary file of the named target has.
std::string StemFor(const std::string& targetName) {
    std::string stem(1, '.');
    stem.append(targetName).append(".kafelator-");
    return stem;
}

// Nothing appears until finished, a discarded file leaves the old one, and the temporary file
// beside the target tells whose it is: a name at the length limit is cut, never inside a
// character.
TEST(NewFile, ReplacesTheTargetOnlyWhenFinished) {
    ScratchFolder folder;
    const std::string longName = std::string(199, 'n') + "\xC3\xB3" + std::string(49, 'n');
    for (const auto& [name, stem] : {std::pair{std::string("out"), std::string(".out.kafelator-")},
                                     std::pair{longName, StemFor(std::string(199, 'n'))}}) {
        std::string path = folder.Path(name);
        NewFile file, discarded;
        ASSERT_TRUE(CreateNewFile(path.c_str(), &file));
        EXPECT_EQ(TemporaryStem(file), stem);
        ASSERT_TRUE(WriteNewFile(file, "abc", 3));
        ASSERT_TRUE(WriteNewFile(file, "d", 1));
        EXPECT_FALSE(fs::exists(path));
        ASSERT_TRUE(FinishNewFile(file));
        // The replaced file is left with no name in the folder and no descriptor of the writer's,
        // its blocks for the file system to free once the last holder lets go.
        int old = open(path.c_str(), O_RDONLY | O_CLOEXEC), openFiles = OpenFileCount();
        ASSERT_TRUE(CreateNewFile(path.c_str(), &file));
        ASSERT_TRUE(WriteNewFile(file, "abcde", 5));
        ASSERT_TRUE(FinishNewFile(file));
        EXPECT_EQ(OpenFileCount(), openFiles);
        struct stat status {};
        ASSERT_EQ(fstat(old, &status), 0);
        EXPECT_EQ(status.st_nlink, 0u);
        close(old);
        ASSERT_TRUE(CreateNewFile(path.c_str(), &discarded));
        ASSERT_TRUE(WriteNewFile(discarded, "xyz!", 4));
        DiscardNewFile(discarded);
        EXPECT_EQ(ReadTextFile(path), "abcde");
        EXPECT_EQ(folder.Entries(), std::vector<std::string>{name});
        std::remove(path.c_str());
    }
}

// A symbolic link, however reached, has the file it finally points to updated, with its
// permissions, the temporary file beside that file; the links stay as they were. A loop, or a
// link to a folder, is refused.
TEST(NewFile, ThroughSymbolicLinksUpdatesTheFileTheyPointTo) {
    ScratchFolder folder;
    const std::string top = folder.Path("");
    fs::create_directories(top + "sub/deeper");
    // Each link, what it holds, and the file written through it (none: refused).
    const struct {
        const char *name, *link, *target;
    } cases[] = {
        {"absolute", nullptr, "photo.bmp"}, // to top/photo.bmp
        {"relative", "photo.bmp", "photo.bmp"},
        {"sub/up", "../photo.bmp", "photo.bmp"}, // relative to its folder, not the current one
        {"sub/deeper/chain", "../up", "photo.bmp"},
        {"dangling", "sub/new.bmp", "sub/new.bmp"},
        {"loop", "loop2", nullptr},
        {"loop2", "loop", nullptr},
        {"folder", "sub", nullptr}};
    for (const auto& c : cases)
        fs::create_symlink(c.link != nullptr ? c.link : top + "photo.bmp", top + c.name);
    // Were a link taken relative to the current folder rather than its own, it would still point
    // inside this folder.
    const fs::path previous = fs::current_path();
    fs::current_path(top + "sub/deeper");
    for (const auto& c : cases) {
        WriteTextFile(top + "photo.bmp", "old");
        chmod((top + "photo.bmp").c_str(), 0640);
        NewFile file;
        ASSERT_EQ(CreateNewFile((top + c.name).c_str(), &file), c.target != nullptr) << c.name;
        if (c.target == nullptr)
            continue;
        std::string target = top + c.target;
        EXPECT_TRUE(fs::equivalent(fs::path(file.temporaryName).parent_path(),
                                   fs::path(target).parent_path()))
            << c.name;
        EXPECT_EQ(TemporaryStem(file), StemFor(fs::path(target).filename()));
        ASSERT_TRUE(WriteNewFile(file, "new", 3));
        ASSERT_TRUE(FinishNewFile(file));
        EXPECT_EQ(ReadTextFile(target), "new") << c.name;
        EXPECT_TRUE(fs::is_symlink(top + c.name)) << c.name;
        struct stat status {};
        stat(target.c_str(), &status);
        if (c.target == std::string("photo.bmp")) {
            EXPECT_EQ(status.st_mode & 07777, 0640u) << c.name;
        }
    }
    fs::current_path(previous);
    EXPECT_EQ(folder.Entries(),
              (std::vector<std::string>{"absolute", "dangling", "folder", "loop", "loop2",
                                        "photo.bmp", "relative", "sub"}));
    EXPECT_EQ(ReadTextFile(top + "sub/new.bmp"), "new");
}

// Once a stop signal is caught, a file being written is abandoned at its next write or at its
// finish, and no new one is begun; the old file stays. Forgotten, writing works again.
TEST(NewFile, StopSignalAbandonsTheWrite) {
    ScratchFolder folder;
    std::string path = folder.Path("out");
    WriteTextFile(path, "old");
    CatchStopSignals();
    NewFile writing, finishing, refused;
    ASSERT_TRUE(CreateNewFile(path.c_str(), &writing));
    ASSERT_TRUE(CreateNewFile(path.c_str(), &finishing));
    ASSERT_TRUE(WriteNewFile(finishing, "whole", 5));
    std::raise(SIGTERM);
    EXPECT_EQ(CaughtStopSignal(), SIGTERM);
    EXPECT_FALSE(WriteNewFile(writing, "new", 3));
    DiscardNewFile(writing);
    EXPECT_FALSE(FinishNewFile(finishing));
    EXPECT_FALSE(CreateNewFile(path.c_str(), &refused));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out"});
    EXPECT_EQ(ReadTextFile(path), "old");
    ForgetStopSignal();
    ASSERT_TRUE(CreateNewFile(path.c_str(), &writing));
    ASSERT_TRUE(WriteNewFile(writing, "new", 3));
    ASSERT_TRUE(FinishNewFile(writing));
    EXPECT_EQ(ReadTextFile(path), "new");
}

} // namespace
