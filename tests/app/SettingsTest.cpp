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
const char Defaults[] = "1 20 50 0 1 0 0 0 0";

// The settings in one line: the recent sizes and the last used, then margin on, margin,
// distance, background, save mode, ignore orientation, dpi, cut guides and turn copies.
std::string Text(const Settings& s) {
    std::string text;
    for (int32_t i = 0; i < s.recentSizes.count; ++i)
        text += std::to_string(s.recentSizes.entries[i].width) + "x" +
                std::to_string(s.recentSizes.entries[i].height) + " ";
    for (int64_t value : {int64_t{s.recentSizes.lastUsed}, int64_t{s.marginOn}, int64_t{s.margin},
                          int64_t{s.distance}, int64_t{s.background}, int64_t{s.saveMode},
                          int64_t{s.ignoreOrientation}, int64_t{s.dpi}, int64_t{s.cutGuides},
                          int64_t{s.turnCopies}})
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
// outside its range; a negative value is read in the unsigned form it is written in. The recent
// sizes end at the first broken one.
TEST_F(SettingsTest, EachValueIsCheckedOnItsOwn) {
    const std::pair<std::string, std::string> choices[] = {
        // At the ends of their ranges.
        {"MarginOn=0\nMargin=300\nDistance=400\nBackground=4\nSaveMode=3\nIgnoreOrientation=1\n"
         "Dpi=10000\nCutGuides=1\nTurnCopies=1",
         "0 0 300 400 4 3 1 10000 1 1"},
        // Just beyond them: the defaults.
        {"MarginOn=tak\nMargin=301\nDistance=401\nBackground=5\nSaveMode=4\nIgnoreOrientation=2\n"
         "Dpi=10001\nCutGuides=2\nTurnCopies=-1",
         std::string("0 ") + Defaults},
        // Negative, so beyond the range but for the distance; a lower end, text after a number,
        // no number at all.
        {"MarginOn=-1\nMargin=-5\nDistance=-5\nSaveMode=-1\nIgnoreOrientation=-1\nDpi=-300\n"
         "TurnCopies=",
         "0 0 20 -5 0 1 0 0 0 0"},
        {"MarginOn=7\nMargin=0\nDistance=25abc\nIgnoreOrientation=tak\nDpi=dużo",
         "0 1 0 25 0 1 0 0 0 0"},
        // Values are read through a buffer of 50 characters: 49 of them count.
        {"Margin=" + std::string(48, '0') + "7\nDistance=" + std::string(49, '0') + "7",
         "0 1 7 0 0 1 0 0 0 0"}};
    for (const auto& [text, expected] : choices)
        EXPECT_EQ(Text(Read("[Kafelator]\n" + text)), expected) << text;
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
                  expected + std::string(" ") + Defaults)
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
        EXPECT_EQ(Text(settings), expected + "9 0 7 50 0 1 0 0 0 0") << file;
        settings.marginOn = 1;
        settings.margin = 9;
        settings.recentSizes.entries[0] = {11, 5};
        ASSERT_TRUE(WriteSettings(name.c_str(), settings));
        EXPECT_EQ(Text(ReadSettings(name.c_str())),
                  "11x5 " + expected.substr(4) + "9 1 9 50 0 1 0 0 0 0");
    }
}

TEST_F(SettingsTest, ShortenedListKeepsTheOldLines) {
    const std::string sizes = "XY1=800 600\nXY2=700\nXY3=640 480\n";
    WriteTextFile(name, "[Resolution]\nCount=3\n" + sizes + "LastUsed=2\n");
    ASSERT_TRUE(WriteSettings(name.c_str(), ReadSettings(name.c_str())));
    EXPECT_EQ(ReadTextFile(name),
              "[Resolution]\nCount=1\n" + sizes + "LastUsed=0\n" + DefaultChoices);
}

// Dpi, CutGuides and TurnCopies came later: each is written only where the file holds it already
// or it differs from its default, so that a file stays byte for byte as it was while nothing new
// is chosen. IgnoreOrientation is the user's to set: kept as written, and never added.
TEST_F(SettingsTest, LaterKeysAreWrittenOnlyWhenChosenOrPresent) {
    Settings settings = Read(DefaultFile);
    settings.ignoreOrientation = 1;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile);
    settings.dpi = 600;
    settings.turnCopies = 1;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name), DefaultFile + "Dpi=600\nTurnCopies=1\n");
    // Back at their defaults, the keys the file holds are kept with those values.
    settings = Read(DefaultFile + "IgnoreOrientation=1\nDpi=600\nCutGuides=\nTurnCopies=1\n");
    settings.dpi = 0;
    settings.turnCopies = 0;
    ASSERT_TRUE(WriteSettings(name.c_str(), settings));
    EXPECT_EQ(ReadTextFile(name),
              DefaultFile + "IgnoreOrientation=1\nDpi=0\nCutGuides=0\nTurnCopies=0\n");
}

// The program's settings are those of zeltrim.ini in the current folder, read into appState at
// start and written from it at exit. No file gives the defaults, which are then written out;
// every value at the end of its range comes back as it was, negative ones too.
TEST_F(SettingsTest, LoadAndSaveMoveTheValuesBetweenTheFileAndAppState) {
    const std::filesystem::path previous = std::filesystem::current_path();
    const int openFiles = OpenFileCount();
    std::filesystem::current_path(folder.Path(""));
    auto state = [] {
        return Text({appState.recentSizes, appState.marginOn, appState.margin, appState.distance,
                     appState.background, appState.saveMode, appState.ignoreOrientation,
                     appState.dpi, appState.cutGuides, appState.turnCopies});
    };
    appState.recentSizes = {{{1, 2}}, 1, 0};
    std::tie(appState.marginOn, appState.margin, appState.distance, appState.background,
             appState.saveMode, appState.ignoreOrientation, appState.dpi, appState.cutGuides,
             appState.turnCopies) = std::tuple(0u, 99, -99, 3u, 3, 1u, 5, 1u, 1u);
    LoadSettings();
    EXPECT_EQ(state(), std::string("0 ") + Defaults);
    SaveSettings();
    EXPECT_EQ(ReadTextFile(name), DefaultFile);
    appState.recentSizes = {{{INT32_MIN, -7}, {INT32_MAX, 0}}, 2, 1};
    std::tie(appState.marginOn, appState.margin, appState.distance, appState.background,
             appState.saveMode, appState.ignoreOrientation, appState.dpi, appState.cutGuides,
             appState.turnCopies) = std::tuple(0u, 300, INT32_MIN, 4u, 3, 1u, 10000, 0u, 1u);
    SaveSettings();
    LoadSettings();
    EXPECT_EQ(state(), "-2147483648x-7 2147483647x0 1 0 300 -2147483648 4 3 0 10000 0 1");
    std::filesystem::current_path(previous);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"zeltrim.ini"});
    EXPECT_EQ(OpenFileCount(), openFiles);
    ResetAppState();
}

} // namespace
