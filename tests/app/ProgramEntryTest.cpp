#include "app/ProgramEntry.h"

#include "app/AppState.h"
#include "support/DialogTestKit.h"
#include "ui/DialogTemplates.h"

#include <unistd.h>

namespace {

class ProgramEntryTest : public DialogTest {
  protected:
    void SetUp() override {
        DialogTest::SetUp();
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(folder.Path("").c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(previous), 0);
        DialogTest::TearDown();
    }
    std::string Settings() {
        Bytes bytes = ReadWholeFile(folder.Path("zeltrim.ini"));
        return std::string(bytes.begin(), bytes.end());
    }
    char previous[4096] = {};
};

TEST_F(ProgramEntryTest, LeavingAtOnceWritesTheDefaults) {
    OnNextDialog([](Dialog* dialog) { ClickItem(dialog, ExitButton); });
    EXPECT_EQ(ProgramEntry(nullptr, ""), 1);
    EXPECT_EQ(Settings(), "[Resolution]\nCount=0\nLastUsed=0\n[Kafelator]\nMarginOn=1\n"
                          "Margin=20\nDistance=50\nBackground=0\nSaveMode=1\n");
    EXPECT_TRUE(messages.empty());
}

TEST_F(ProgramEntryTest, SettingsAfterExitHoldThePackAndTheClickedCheckBox) {
    WriteWholeFile(folder.Path("zeltrim.ini"), {});
    OnNextDialog([](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "300*200");
        TypeIntoItem(dialog, DistanceEdit, "-5");
        PickComboEntry(dialog, BackgroundList, 2);
        OnNextDialog([](Dialog* preview) {
            PickComboEntry(preview, SaveFormatBox, 3);
            ClickItem(preview, CloseButton);
        });
        ClickItem(dialog, PackButton);
        TypeIntoItem(dialog, MarginEdit, "33"); // typed, never packed: not kept
        ClickItem(dialog, NoMarginCheckBox);    // clicked: kept
        ClickItem(dialog, ExitButton);
    });
    EXPECT_EQ(ProgramEntry(nullptr, photo.c_str()), 1);
    EXPECT_EQ(appState.sourceImage.block, nullptr); // released at the end
    EXPECT_EQ(Settings(), "[Resolution]\nCount=1\nXY1=300 200\nLastUsed=0\n[Kafelator]\n"
                          "MarginOn=0\nMargin=20\nDistance=4294967291\nBackground=2\n"
                          "SaveMode=3\n");
}

} // namespace
