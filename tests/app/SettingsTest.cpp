#include "app/Settings.h"

#include "app/AppState.h"

#include "support/TestFiles.h"

#include <csignal>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char SettingsFile[] = "zeltrim.ini";
const std::string DefaultChoices =
    "[Kafelator]\nMarginOn=1\nMargin=20\nDistance=50\nBackground=0\nSaveMode=1\n";
const std::string DefaultFile = "[Resolution]\nCount=0\nLastUsed=0\n" + DefaultChoices;

// The recent sizes as "width x height" texts, then the index of the last used.
std::string RecentList() {
    std::string text;
    for (int32_t i = 0; i < appState.recentSizes.count; ++i)
        text += std::to_string(appState.recentSizes.entries[i].width) + "x" +
                std::to_string(appState.recentSizes.entries[i].height) + " ";
    return text + "last " + std::to_string(appState.recentSizes.lastUsed);
}

// Each test runs in a scratch folder of its own as the current folder, where the settings file
// is looked for.
class SettingsTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetAppState();
        std::filesystem::current_path(folder_.Path("."));
    }
    void TearDown() override { std::filesystem::current_path(previous_); }

    // Loads the settings over a state far from the defaults, so that every default shows as
    // assigned.
    static void LoadOverScrambled() {
        appState.marginOn = 0;
        appState.margin = 99;
        appState.distance = -99;
        appState.background = 3;
        appState.saveMode = 3;
        appState.recentSizes = {{{1, 2}, {3, 4}}, 2, 1};
        appState.ignoreOrientation = 1;
        LoadSettings();
    }

    ScratchFolder folder_;
    const std::filesystem::path previous_ = std::filesystem::current_path();
};

TEST_F(SettingsTest, NoFileGivesTheDefaultsAndSavingWritesExactlyThem) {
    LoadOverScrambled();
    SaveSettings();
    EXPECT_EQ(ReadTextFile(SettingsFile), DefaultFile);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
}

TEST_F(SettingsTest, EachChoiceIsCheckedOnItsOwn) {
    auto check = [](const char* key, auto field,
                    std::initializer_list<std::pair<const char*, int64_t>> cases) {
        for (const auto& [value, expected] : cases) {
            WriteTextFile(SettingsFile, std::string("[Kafelator]\n") + key + "=" + value + "\n");
            LoadOverScrambled();
            EXPECT_EQ(appState.*field, expected) << key << "=" << value;
        }
    };
    check("Margin", &AppState::margin,
          {{"300", 300}, {"301", 20}, {"0", 0}, {"-5", 20}, {"25abc", 25}});
    check("  mArGiN  ", &AppState::margin, {{"  \t 42  ", 42}}); // blanks are not counted
    check("Margin", &AppState::margin, {{"                                                7", 7}});
    // A distance is written unsigned: 4294967291 is -5.
    check("Distance", &AppState::distance,
          {{"400", 400}, {"401", 50}, {"-5", -5}, {"4294967291", -5}, {"-2147483648", INT32_MIN}});
    check("Background", &AppState::background, {{"4", 4}, {"5", 0}});
    // -1, no selection, is written as 4294967295.
    check("SaveMode", &AppState::saveMode, {{"3", 3}, {"4", 1}, {"4294967295", 1}});
    // Off for any number that is not positive as a signed one.
    check("MarginOn", &AppState::marginOn, {{"7", 1}, {"tak", 1}, {"0", 0}, {"-1", 0}});
    check("IgnoreOrientation", &AppState::ignoreOrientation,
          {{"1", 1}, {"0", 0}, {"2", 0}, {"-1", 0}, {"tak", 0}});
}

// The key is the user's to set: it is read, kept as written, and never added.
TEST_F(SettingsTest, IgnoreOrientationIsReadButNeverWritten) {
    const std::string withKey = DefaultFile + "IgnoreOrientation=1\n";
    WriteTextFile(SettingsFile, withKey);
    LoadSettings();
    EXPECT_EQ(appState.ignoreOrientation, 1u);
    SaveSettings();
    EXPECT_EQ(ReadTextFile(SettingsFile), withKey);
    WriteTextFile(SettingsFile, DefaultFile);
    LoadSettings();
    appState.ignoreOrientation = 1;
    SaveSettings();
    EXPECT_EQ(ReadTextFile(SettingsFile), DefaultFile);
}

TEST_F(SettingsTest, RecentSizesEndAtTheFirstBrokenOne) {
    const std::pair<std::string, std::string> cases[] = {
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=1", "800x600 700x500 last 1"},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=2", "800x600 700x500 last 0"},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=-1", "800x600 700x500 last 0"},
        {"Count=2abc\nXY1=800 600\nXY2=700 500", "800x600 700x500 last 0"},
        {"Count=1\nXY1=4294967291 -7 more", "-5x-7 last 0"}, // the unsigned form as written
        {"Count=3\nXY1=800 600\nXY3=700 500\nLastUsed=2", "800x600 last 0"},
        {"Count=2\nXY1=800,600\nXY2=700 500", "last 0"},
        {"Count=0\nXY1=800 600", "last 0"},
        {"Count=10\nXY1=1 1", "1x1 last 0"}, // the largest count; no XY2 ends the list
        {"Count=11\nXY1=1 1", "last 0"},
    };
    for (const auto& [text, expected] : cases) {
        WriteTextFile(SettingsFile, "[Resolution]\n" + text + "\n");
        LoadOverScrambled();
        EXPECT_EQ(RecentList(), expected) << text;
    }
}

TEST_F(SettingsTest, ShortenedListKeepsTheOldLines) {
    const std::string sizes = "XY1=800 600\nXY2=700\nXY3=640 480\n";
    WriteTextFile(SettingsFile, "[Resolution]\nCount=3\n" + sizes + "LastUsed=2\n");
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(ReadTextFile(SettingsFile),
              "[Resolution]\nCount=1\n" + sizes + "LastUsed=0\n" + DefaultChoices);
}

TEST_F(SettingsTest, FileFromWindowsLoadsAndKeepsItsForm) {
    const std::string windows = "; Kafelator\r\n[RESOLUTION]\r\ncount = 2\r\nxy1 = 800 600\r\n"
                                "Xy2=700 500\r\nlastused=1\r\n\r\n[kafelator]\r\nmarginon=0\r\n"
                                "DISTANCE=4294967291\r\n";
    WriteTextFile(SettingsFile, windows);
    LoadOverScrambled();
    SaveSettings(); // every value as loaded, rewritten in place, and the missing ones added
    EXPECT_EQ(ReadTextFile(SettingsFile), windows + "Margin=20\r\nBackground=0\r\nSaveMode=1\r\n");
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
        SaveSettings(); // which writes each valid state as a text of its own
        const std::string saved = ReadTextFile(SettingsFile);
        LoadOverScrambled();
        SaveSettings();
        ASSERT_EQ(ReadTextFile(SettingsFile), saved);
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
        LoadOverScrambled();
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

int SaveInChild(void (*prepare)()) {
    return RunInChild([=] {
        prepare();
        appState.margin = 123;
        SaveSettings();
        return 0;
    });
}

TEST_F(SettingsTest, FailedSaveKeepsTheOldFileSilently) {
    WriteTextFile(SettingsFile, DefaultFile);
    EXPECT_EQ(SaveInChild([] { LimitFileSize(40); }), 0); // a full disk stops the write part way
    // A folder that cannot be written, though the file could; the child gives up root's rights,
    // which reach into any folder.
    chmod(SettingsFile, 0666);
    ASSERT_EQ(chmod(".", 0555), 0);
    int code = SaveInChild([] {
        if (geteuid() == 0 && setuid(65534) != 0)
            _exit(2);
    });
    chmod(".", 0755);
    EXPECT_EQ(ReadTextFile(SettingsFile), DefaultFile);
    EXPECT_EQ(folder_.Entries(), std::vector<std::string>{SettingsFile});
    if (code == 2)
        GTEST_SKIP() << "cannot give up root's rights here";
    EXPECT_EQ(code, 0);
}

} // namespace
