#include "app/Settings.h"

#include "app/AppState.h"
#include "platform/ProfileFile.h"

#include "TestFiles.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char SettingsFile[] = "zeltrim.ini";

const std::string DefaultChoices = "[Kafelator]\n"
                                   "MarginOn=1\n"
                                   "Margin=20\n"
                                   "Distance=50\n"
                                   "Background=0\n"
                                   "SaveMode=1\n";
const std::string DefaultFile = "[Resolution]\nCount=0\nLastUsed=0\n" + DefaultChoices;

void PutText(const std::string& name, const std::string& text) {
    WriteWholeFile(name, Bytes(text.begin(), text.end()));
}

std::string TextOf(const std::string& name) {
    Bytes bytes = ReadWholeFile(name);
    return std::string(bytes.begin(), bytes.end());
}

// Each test runs in a scratch folder of its own as the current folder, where the settings file
// is looked for.
class SettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        char* here = getcwd(nullptr, 0);
        ASSERT_NE(here, nullptr);
        previous_ = here;
        std::free(here);
        ASSERT_EQ(chdir(folder_.Path(".").c_str()), 0);
    }
    void TearDown() override { EXPECT_EQ(chdir(previous_.c_str()), 0); }

    // A state far from the defaults, so that every default shows as assigned.
    static void Scramble() {
        appState.marginOn = 0;
        appState.margin = 99;
        appState.distance = -99;
        appState.background = 3;
        appState.saveMode = 3;
        appState.recentSizes.count = 2;
        appState.recentSizes.lastUsed = 1;
        appState.recentSizes.entries[0] = {1, 2};
    }

    ScratchFolder folder_;
    std::string previous_;
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndSavingWritesExactlyThem) {
    Scramble();
    LoadSettings();
    EXPECT_EQ(appState.recentSizes.count, 0);
    EXPECT_EQ(appState.recentSizes.lastUsed, 0);
    EXPECT_EQ(appState.marginOn, 1u);
    EXPECT_EQ(appState.margin, 20);
    EXPECT_EQ(appState.distance, 50);
    EXPECT_EQ(appState.background, 0u);
    EXPECT_EQ(appState.saveMode, 1);
    SaveSettings();
    EXPECT_EQ(TextOf(SettingsFile), DefaultFile);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
}

TEST_F(SettingsTest, EachChoiceIsCheckedOnItsOwn) {
    struct {
        const char* line;
        int64_t (*field)();
        int64_t expected;
    } const cases[] = {
        {"Margin=300", [] { return int64_t{appState.margin}; }, 300},
        {"Margin=301", [] { return int64_t{appState.margin}; }, 20},
        {"Margin=-5", [] { return int64_t{appState.margin}; }, 20},
        {"Margin=25abc", [] { return int64_t{appState.margin}; }, 25},
        {"Margin=0", [] { return int64_t{appState.margin}; }, 0},
        {"Margin=", [] { return int64_t{appState.margin}; }, 20},
        {"Margin=4294967316", [] { return int64_t{appState.margin}; }, 20}, // beyond 32 bits
        {"Distance=400", [] { return int64_t{appState.distance}; }, 400},
        {"Distance=401", [] { return int64_t{appState.distance}; }, 50},
        {"Distance=-5", [] { return int64_t{appState.distance}; }, -5},
        {"Distance=4294967291", [] { return int64_t{appState.distance}; }, -5},
        {"Distance=-2147483648", [] { return int64_t{appState.distance}; }, INT32_MIN},
        {"Distance=x", [] { return int64_t{appState.distance}; }, 50},
        {"Background=4", [] { return int64_t{appState.background}; }, 4},
        {"Background=5", [] { return int64_t{appState.background}; }, 0},
        {"Background=-1", [] { return int64_t{appState.background}; }, 0},
        {"SaveMode=3", [] { return int64_t{appState.saveMode}; }, 3},
        {"SaveMode=4", [] { return int64_t{appState.saveMode}; }, 1},
        {"SaveMode=4294967295", [] { return int64_t{appState.saveMode}; }, 1}, // no selection
        {"MarginOn=7", [] { return int64_t{appState.marginOn}; }, 1},
        {"MarginOn=tak", [] { return int64_t{appState.marginOn}; }, 1},
        {"MarginOn=0", [] { return int64_t{appState.marginOn}; }, 0},
        {"MarginOn=-1", [] { return int64_t{appState.marginOn}; }, 0},
        {"MarginOn=4294967295", [] { return int64_t{appState.marginOn}; }, 0},
        {"  mArGiN  =  \t 42  ", [] { return int64_t{appState.margin}; }, 42},
        {"Margin=                                                7", // 48 blanks: not counted
         [] { return int64_t{appState.margin}; }, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        PutText(SettingsFile, std::string("[Kafelator]\n") + c.line + "\n");
        Scramble();
        LoadSettings();
        EXPECT_EQ(c.field(), c.expected);
    }
}

TEST_F(SettingsTest, RecentSizesEndAtTheFirstBrokenOne) {
    struct {
        const char* text;
        int32_t count;
        int32_t lastUsed;
    } const cases[] = {
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=1", 2, 1},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=2", 2, 0},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=-1", 2, 0},
        {"Count=2abc\nXY1=800 600\nXY2=700 500", 2, 0},
        {"Count=3\nXY1=800 600\nXY3=700 500\nLastUsed=2", 1, 0},      // second key missing
        {"Count=3\nXY1=800 600\nXY2=700\nXY3=1 2\nLastUsed=1", 1, 0}, // second holds one number
        {"Count=2\nXY1=800,600\nXY2=700 500", 0, 0},
        {"Count=0\nXY1=800 600\nLastUsed=0", 0, 0},
        {"Count=-1\nXY1=800 600", 0, 0},
        {"Count=11\nXY1=1 1\nXY2=2 2\nXY3=3 3\nXY4=4 4\nXY5=5 5\nXY6=6 6\nXY7=7 7\nXY8=8 8\n"
         "XY9=9 9\nXY10=10 10\nXY11=11 11",
         0, 0},
        {"Count=10\nXY1=1 1\nXY2=2 2\nXY3=3 3\nXY4=4 4\nXY5=5 5\nXY6=6 6\nXY7=7 7\nXY8=8 8\n"
         "XY9=9 9\nXY10=10 10\nLastUsed=9",
         10, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PutText(SettingsFile, std::string("[Resolution]\n") + c.text + "\n");
        Scramble();
        LoadSettings();
        EXPECT_EQ(appState.recentSizes.count, c.count);
        EXPECT_EQ(appState.recentSizes.lastUsed, c.lastUsed);
        if (c.count > 0) {
            EXPECT_EQ(appState.recentSizes.entries[0].width, c.count == 10 ? 1 : 800);
        }
    }
}

TEST_F(SettingsTest, SizesWrittenUnsignedComeBackSigned) {
    PutText(SettingsFile, "[Resolution]\nCount=1\nXY1=4294967291 -7 more\n");
    LoadSettings();
    ASSERT_EQ(appState.recentSizes.count, 1);
    EXPECT_EQ(appState.recentSizes.entries[0].width, -5);
    EXPECT_EQ(appState.recentSizes.entries[0].height, -7);
}

TEST_F(SettingsTest, ShortenedListKeepsTheOldLines) {
    PutText(SettingsFile, "[Resolution]\n"
                          "Count=3\n"
                          "XY1=800 600\n"
                          "XY2=700\n"
                          "XY3=640 480\n"
                          "LastUsed=2\n");
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(TextOf(SettingsFile), "[Resolution]\n"
                                    "Count=1\n"
                                    "XY1=800 600\n"
                                    "XY2=700\n"
                                    "XY3=640 480\n"
                                    "LastUsed=0\n" +
                                        DefaultChoices);
}

TEST_F(SettingsTest, FileFromWindowsLoadsAndKeepsItsForm) {
    PutText(SettingsFile, "; Kafelator\r\n"
                          "[RESOLUTION]\r\n"
                          "count = 2\r\n"
                          "xy1 = 800 600\r\n"
                          "Xy2=700 500\r\n"
                          "lastused=1\r\n"
                          "\r\n"
                          "[kafelator]\r\n"
                          "marginon=0\r\n"
                          "DISTANCE=4294967291\r\n");
    LoadSettings();
    EXPECT_EQ(appState.recentSizes.count, 2);
    EXPECT_EQ(appState.recentSizes.entries[1].width, 700);
    EXPECT_EQ(appState.recentSizes.lastUsed, 1);
    EXPECT_EQ(appState.marginOn, 0u);
    EXPECT_EQ(appState.distance, -5);
    appState.recentSizes.lastUsed = 0;
    SaveSettings();
    EXPECT_EQ(TextOf(SettingsFile), "; Kafelator\r\n"
                                    "[RESOLUTION]\r\n"
                                    "count = 2\r\n"
                                    "xy1 = 800 600\r\n"
                                    "Xy2=700 500\r\n"
                                    "lastused=0\r\n"
                                    "\r\n"
                                    "[kafelator]\r\n"
                                    "marginon=0\r\n"
                                    "DISTANCE=4294967291\r\n"
                                    "Margin=20\r\n"
                                    "Background=0\r\n"
                                    "SaveMode=1\r\n");
}

TEST_F(SettingsTest, EveryValidStateSurvivesARoundTrip) {
    std::mt19937 random(20240611);
    auto between = [&](int64_t low, int64_t high) {
        return static_cast<int32_t>(std::uniform_int_distribution<int64_t>(low, high)(random));
    };
    for (int round = 0; round < 200; ++round) {
        ResetAppState();
        RecentSizes& recent = appState.recentSizes;
        recent.count = between(0, RecentSizeSlots);
        for (int32_t i = 0; i < recent.count; ++i)
            recent.entries[i] = {between(INT32_MIN, INT32_MAX), between(INT32_MIN, INT32_MAX)};
        recent.lastUsed = recent.count > 0 ? between(0, recent.count - 1) : 0;
        appState.marginOn = static_cast<uint32_t>(between(0, 1));
        appState.margin = between(0, 300);
        appState.distance = round % 2 ? between(-1000, 400) : between(INT32_MIN, 400);
        appState.background = static_cast<uint32_t>(between(0, 4));
        appState.saveMode = between(0, 3);
        const AppState saved = appState;
        SaveSettings();
        Scramble();
        LoadSettings();
        ASSERT_EQ(recent.count, saved.recentSizes.count) << "round " << round;
        for (int32_t i = 0; i < recent.count; ++i) {
            ASSERT_EQ(recent.entries[i].width, saved.recentSizes.entries[i].width);
            ASSERT_EQ(recent.entries[i].height, saved.recentSizes.entries[i].height);
        }
        ASSERT_EQ(recent.lastUsed, saved.recentSizes.lastUsed);
        ASSERT_EQ(appState.marginOn, saved.marginOn);
        ASSERT_EQ(appState.margin, saved.margin);
        ASSERT_EQ(appState.distance, saved.distance);
        ASSERT_EQ(appState.background, saved.background);
        ASSERT_EQ(appState.saveMode, saved.saveMode);
    }
}

TEST_F(SettingsTest, SettingsNameOfWhatIsNoFileGivesTheDefaultsAtOnceAndIsKept) {
    // Reading a FIFO would wait for a writer and a device would never end; neither is read, and
    // neither is replaced at exit.
    const std::function<int()> makers[] = {
        [] { return mkfifo(SettingsFile, 0644); },
        [] { return symlink("/dev/zero", SettingsFile); },
    };
    for (const auto& make : makers) {
        ASSERT_EQ(make(), 0);
        Scramble();
        LoadSettings();
        EXPECT_EQ(appState.margin, 20);
        EXPECT_EQ(appState.recentSizes.count, 0);
        SaveSettings();
        struct stat status {};
        ASSERT_EQ(lstat(SettingsFile, &status), 0);
        EXPECT_FALSE(S_ISREG(status.st_mode));
        EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
        unlink(SettingsFile);
    }
}

TEST_F(SettingsTest, HugeFileIsReadAsNoneAndKept) {
    std::string huge = "[Kafelator]\nMargin=7\n" + std::string(ProfileFileLimit, ';');
    PutText(SettingsFile, huge);
    LoadSettings();
    EXPECT_EQ(appState.margin, 20);
    SaveSettings();
    EXPECT_EQ(TextOf(SettingsFile), huge);
}

// Runs SaveSettings in a child process, set up by prepare; its exit code, or -1.
int SaveInChild(void (*prepare)()) {
    pid_t child = fork();
    if (child == 0) {
        prepare();
        appState.margin = 123;
        SaveSettings();
        _exit(0);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

TEST_F(SettingsTest, FolderThatCannotBeWrittenKeepsTheOldFileSilently) {
    PutText(SettingsFile, DefaultFile);
    chmod(SettingsFile, 0666); // the file may be written, only the folder may not
    // The child works as a user without rights here, since root may write into any folder.
    ASSERT_EQ(chmod(folder_.Path(".").c_str(), 0555), 0);
    int code = SaveInChild([] {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(2);
    });
    chmod(folder_.Path(".").c_str(), 0755);
    if (code == 2)
        GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TextOf(SettingsFile), DefaultFile);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
}

TEST_F(SettingsTest, FullDiskKeepsTheOldFileAndLeavesNoPartialOne) {
    PutText(SettingsFile, DefaultFile);
    // A file-size limit makes the write fail partway, as a full disk would.
    int code = SaveInChild([] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{40, 40};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(TextOf(SettingsFile), DefaultFile);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
}

} // namespace
