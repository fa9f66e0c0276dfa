#include "app/ProgramEntry.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

#include <unistd.h>

namespace {

using ProgramEntryTest = DialogTest;

TEST_F(ProgramEntryTest, SettingsAfterExitHoldThePackAndTheClickedCheckBox) {
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.Path("").c_str()), 0); // where the settings file is
    WriteTextFile("zeltrim.ini", "[Kafelator]\nMargin=33\n");
    Expect([](Dialog* dialog) {
        EXPECT_EQ(Text(dialog, MarginEdit), "33");
        Type(dialog, SizeBox, "300*200");
        Type(dialog, DistanceEdit, "-5");
        Pick(dialog, BackgroundList, 2);
        Click(dialog, PackButton);
        // Values are kept as they convert: the distance, not the margin nor what follows it.
        Type(dialog, DistanceEdit, "-6");
        Type(dialog, MarginEdit, "none");
        Pick(dialog, BackgroundList, 4);
        Click(dialog, PackButton);
        Click(dialog, NoMarginCheckBox); // kept at the click
        Click(dialog, ExitButton);
    });
    Expect([](Dialog* preview) {
        Pick(preview, SaveFormatBox, 3);
        Click(preview, CloseButton);
    });
    EXPECT_EQ(ProgramEntry(nullptr, photo.c_str()), 1);
    EXPECT_EQ(appState.sourceImage.block, nullptr); // released at the end
    EXPECT_EQ(ReadTextFile("zeltrim.ini"),
              "[Kafelator]\nMargin=33\nMarginOn=0\nDistance=4294967290\nBackground=2\nSaveMode=3\n"
              "[Resolution]\nCount=1\nXY1=300 200\nLastUsed=0\n");
    EXPECT_EQ(chdir(previous), 0);
    EXPECT_EQ(messages, Texts{});
}

} // namespace
