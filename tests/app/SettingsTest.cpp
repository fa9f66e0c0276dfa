#include "app/Settings.h"

#include "app/AppState.h"
#include "support/TestFiles.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const std::string DefaultChoices =
    "[Kafelator]\nMarginOn=1\nMargin=20\nDistance=50\nBackground=0\nSaveMode=1\n";
const std::string DefaultFile = "[Resolution]\nCount=0\nLastUsed=0\n" + DefaultChoices;

// The settings in one line: the recent sizes and the last used, then margin on, margin,
// distance, background and save mode.
std::string Text(const Settings& s) {
    std::string text;
    for (int32_t i = 0; i < s.recentSizes.count; ++i)
        text += std::to_string(s.recentSizes.entries[i].width) + "x" +
                std::to_string(s.recentSizes.entries[i].height) + " ";
    for (int64_t value : {int64_t{s.recentSizes.lastUsed}, int64_t{s.marginOn}, int64_t{s.margin},
                          int64_t{s.distance}, int64_t{s.background}, int64_t{s.saveMode}})
        text += std::to_string(value) + " ";
    text.pop_back();
    return text;
}

class SettingsTest : public testing::Test {
  protected:
    Settings Read(const std::string& text) {
        WriteTextFile(name, text);
        return ReadSettings(name.c_str());
    }
    ScratchFolder folder;
    std::string name = folder.Path("zeltrim.ini");
};

// Every value is checked on its own and replaced by its default when it does not parse or lies
// outside its range; the recent sizes end at the first broken one.
TEST_F(SettingsTest, EachValueIsCheckedOnItsOwn) {
    const std::pair<const char*, const char*> choices[] = {
        {"Margin=300", "1 300 50 0 1"},  {"Margin=301", "1 20 50 0 1"},
        {"Margin=0", "1 0 50 0 1"},      {"Margin=-5", "1 20 50 0 1"},
        {"Margin=25abc", "1 25 50 0 1"}, {"Distance=400", "1 20 400 0 1"},
        {"Distance=401", "1 20 50 0 1"}, {"Distance=-5", "1 20 -5 0 1"},
        {"Background=4", "1 20 50 4 1"}, {"Background=5", "1 20 50 0 1"},
        {"SaveMode=3", "1 20 50 0 3"},   {"SaveMode=4", "1 20 50 0 1"},
        {"SaveMode=-1", "1 20 50 0 1"},  {"MarginOn=7", "1 20 50 0 1"},
        {"MarginOn=tak", "1 20 50 0 1"}, {"MarginOn=0", "0 20 50 0 1"},
        {"MarginOn=-1", "0 20 50 0 1"}};
    for (const auto& [text, expected] : choices)
        EXPECT_EQ(Text(Read(std::string("[Kafelator]\n") + text)), "0 " + std::string(expected))
            << text;
    EXPECT_EQ(Text(Read("[Kafelator]\nDistance=4294967291")), "0 1 20 -5 0 1"); // -5 as written
    for (const auto& [text, expected] :
         {std::pair{"1", 1u}, {"0", 0u}, {"2", 0u}, {"-1", 0u}, {"tak", 0u}})
        EXPECT_EQ(Read(std::string("[Kafelator]\nIgnoreOrientation=") + text).ignoreOrientation,
                  expected)
            << text;
    // Values are read through a buffer of 50 characters: 49 of them count.
    EXPECT_EQ(Text(Read("[Kafelator]\nMargin=" + std::string(48, '0') + "7")), "0 1 7 50 0 1");
    EXPECT_EQ(Text(Read("[Kafelator]\nMargin=" + std::string(49, '0') + "7")), "0 1 0 50 0 1");
    const std::pair<const char*, const char*> sizes[] = {
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=1", "800x600 700x500 1"},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=2", "800x600 700x500 0"},
        {"Count=2\nXY1=800 600\nXY2=700 500\nLastUsed=-1", "800x600 700x500 0"},
        {"Count=2abc\nXY1=800 600\nXY2=700 500", "800x600 700x500 0"},
        {"Count=1\nXY1=4294967291 -7 more", "-5x-7 0"}, // the unsigned form as written
        {"Count=3\nXY1=800 600\nXY3=700 500\nLastUsed=2", "800x600 0"},
        {"Count=2\nXY1=800 600\nXY2=700", "800x600 0"},
        {"Count=2\nXY1=800,600\nXY2=700 500", "0"},
        {"Count=0\nXY1=800 600", "0"},
        {"Count=10\nXY1=1 1", "1x1 0"}, // the largest count; no XY2 ends the list
        {"Count=11\nXY1=1 1", "0"}};
    for (const auto& [text, expected] : sizes)
        EXPECT_EQ(Text(Read(std::string("[Resolution]\n") + text)),
                  expected + std::string(" 1 20 50 0 1"))
            << text;
}

// "MarginOn" begins with "Margin" and "XY10" with "XY1": in either order, each key reads and
// writes its own value.
TEST_F(SettingsTest, KeysThatBeginWithAnotherKeysNameKeepToTheirOwnLines) {
    std::string sizes, reversed, expected;
    for (int i = 1; i <= 10; ++i) {
        std::string line = "XY" + std::to_string(i) + "=" + std::to_string(i) + " 5\n";
        sizes += line;
        reversed = line + reversed;
        expected += std::to_string(i) + "x5 ";
    }
    for (const auto& [list, choices] : {std::pair{sizes, "Margin=7\nMarginOn=0\n"},
                                        std::pair{reversed, "MarginOn=0\nMargin=7\n"}}) {
        std::string file =
            "[Resolution]\nCount=10\n" + list + "LastUsed=9\n[Kafelator]\n" + choices;
        Settings settings = Read(file);
        EXPECT_EQ(Text(settings), expected + "9 0 7 50 0 1") << file;
        settings.marginOn = 1;
        settings.margin = 9;
        settings.recentSizes.entries[0] = {11, 5};
        ASSERT_TRUE(WriteSettings(name.c_str(), settings));
        EXPECT_EQ(Text(ReadSettings(name.c_str())), "11x5 " + expected.substr(4) + "9 1 9 50 0 1");
    }
}

TEST_F(SettingsTest, ShortenedListKeepsTheOldLines) {
    const std::string sizes = "XY1=800 600\nXY2=700\nXY3=640 480\n";
    WriteTextFile(name, "[Resolution]\nCount=3\n" + sizes + "LastUsed=2\n");
    ASSERT_TRUE(WriteSettings(name.c_str(), ReadSettings(name.c_str())));
    EXPECT_EQ(ReadTextFile(name),
              "[Resolution]\nCount=1\n" + sizes + "LastUsed=0\n" + DefaultChoices);
}

// IgnoreOrientation is the user's to set: it is read, kept as written, and never added.
TEST_F(SettingsTest, IgnoreOrientationIsReadButNeverWritten) {
    const std::string withKey = DefaultFile + "IgnoreOrientation=1\n";
    Settings settings = Read(withKey);
    EXPECT_EQ(settings.ignoreOrientation, 1u);
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), withKey);
    settings = Read(DefaultFile);
    settings.ignoreOrientation = 1;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile);
}

// Dpi (0 to 10000), CutGuides and TurnCopies (0 or 1) are checked like the others, and written
// only where the file holds them already or they differ from their defaults.
TEST_F(SettingsTest, LaterKeysAreCheckedAndWrittenOnlyWhenChosenOrPresent) {
    const struct {
        const char* line;
        int32_t dpi;
        uint32_t cutGuides, turnCopies;
    } values[] = {{"Dpi=300", 300, 0, 0},   {"Dpi=10000", 10000, 0, 0}, {"Dpi=10001", 0, 0, 0},
                  {"Dpi=-300", 0, 0, 0},    {"Dpi=dużo", 0, 0, 0},      {"CutGuides=1", 0, 1, 0},
                  {"CutGuides=2", 0, 0, 0}, {"TurnCopies=1", 0, 0, 1},  {"TurnCopies=-1", 0, 0, 0},
                  {"TurnCopies=", 0, 0, 0}};
    for (const auto& v : values) {
        Settings settings = Read(std::string("[Kafelator]\n") + v.line);
        EXPECT_EQ(std::tuple(settings.dpi, settings.cutGuides, settings.turnCopies),
                  std::tuple(v.dpi, v.cutGuides, v.turnCopies))
            << v.line;
    }
    Settings settings = Read(DefaultFile);
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile);
    settings.dpi = 600;
    settings.turnCopies = 1;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile + "Dpi=600\nTurnCopies=1\n");
    // Back at their defaults, the keys the file holds are kept with those values.
    settings = Read(DefaultFile + "Dpi=600\nCutGuides=\nTurnCopies=1\n");
    settings.dpi = 0;
    settings.turnCopies = 0;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile + "Dpi=0\nCutGuides=0\nTurnCopies=0\n");
}

// The program's settings are those of zeltrim.ini in the current folder, read into appState at
// start and written from it at exit. No file gives the defaults, which are then written out.
TEST_F(SettingsTest, LoadAndSaveMoveTheValuesBetweenTheFileAndAppState) {
    const std::filesystem::path previous = std::filesystem::current_path();
    const int openFiles = OpenFileCount();
    std::filesystem::current_path(folder.Path(""));
    auto state = [] {
        return Text({appState.recentSizes, appState.marginOn, appState.margin, appState.distance,
                     appState.background, appState.saveMode});
    };
    appState.recentSizes = {{{1, 2}}, 1, 0};
    std::tie(appState.marginOn, appState.margin, appState.distance, appState.background,
             appState.saveMode) = std::tuple(0u, 99, -99, 3u, 3);
    appState.ignoreOrientation = 1;
    std::tie(appState.dpi, appState.cutGuides, appState.turnCopies) = std::tuple(5, 1u, 1u);
    LoadSettings();
    EXPECT_EQ(state(), "0 1 20 50 0 1");
    EXPECT_EQ(appState.ignoreOrientation, 0u);
    EXPECT_EQ(std::tuple(appState.dpi, appState.cutGuides, appState.turnCopies),
              std::tuple(0, 0u, 0u));
    SaveSettings();
    EXPECT_EQ(ReadTextFile(name), DefaultFile);
    WriteTextFile(name, "[Resolution]\nCount=1\nXY1=8 6\n[Kafelator]\nMarginOn=0\nMargin=1\n"
                        "Distance=2\nBackground=3\nSaveMode=0\n");
    LoadSettings();
    EXPECT_EQ(state(), "8x6 0 0 1 2 3 0");
    // Every value at the end of its range comes back as it was, negative ones too.
    appState.recentSizes = {{{INT32_MIN, -7}, {INT32_MAX, 0}}, 2, 1};
    std::tie(appState.marginOn, appState.margin, appState.distance, appState.background,
             appState.saveMode) = std::tuple(1u, 300, INT32_MIN, 4u, 3);
    std::tie(appState.dpi, appState.cutGuides, appState.turnCopies) = std::tuple(10000, 1u, 1u);
    SaveSettings();
    LoadSettings();
    EXPECT_EQ(std::tuple(appState.dpi, appState.cutGuides, appState.turnCopies),
              std::tuple(10000, 1u, 1u));
    std::filesystem::current_path(previous);
    EXPECT_EQ(Text(ReadSettings(name.c_str())),
              "-2147483648x-7 2147483647x0 1 1 300 -2147483648 4 3");
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"zeltrim.ini"});
    EXPECT_EQ(OpenFileCount(), openFiles);
    ResetAppState();
}

} // namespace
