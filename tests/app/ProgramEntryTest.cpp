#include "app/ProgramEntry.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

#include <csignal>
#include <cstdio>
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

// SIGTERM, SIGHUP and SIGINT end the dialogs the normal way, the innermost first, whatever is
// open: the preview closes as by Close, taking its save format, the main dialog as by its exit
// button; a file chooser is cancelled, and a save just begun is abandoned without a message or
// a file. The settings are written as at any exit.
TEST_F(ProgramEntryTest, StopSignalsEndTheDialogsAndTheSettingsAreWritten) {
    enum class Open { Preview, Chooser, Save };
    const std::pair<int, Open> cases[] = {
        {SIGTERM, Open::Preview}, {SIGHUP, Open::Chooser}, {SIGINT, Open::Save}};
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.Path("").c_str()), 0);
    for (const auto& [signalNumber, open] : cases) {
        std::remove("zeltrim.ini");
        Expect([](Dialog* dialog) {
            Click(dialog, NoMarginCheckBox);
            Type(dialog, SizeBox, "300 200");
            Click(dialog, PackButton);
            WaitUntilClosed(Window(dialog));
        });
        Expect([this, signalNumber = signalNumber, open = open](Dialog* preview) {
            Pick(preview, SaveFormatBox, 0);
            if (open == Open::Preview) {
                std::raise(signalNumber);
            } else {
                chooserSignal = signalNumber;
                if (open == Open::Save)
                    answers = {folder.Path("sheet.bmp")};
                Click(preview, SaveButton);
            }
            WaitUntilClosed(Window(preview));
        });
        EXPECT_EQ(ProgramEntry(nullptr, photo.c_str()), 1);
        EXPECT_EQ(ReadTextFile("zeltrim.ini"),
                  "[Resolution]\nCount=1\nXY1=300 200\nLastUsed=0\n[Kafelator]\nMarginOn=0\n"
                  "Margin=20\nDistance=50\nBackground=0\nSaveMode=0\n")
            << signalNumber;
        EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"photo.bmp", "zeltrim.ini"}));
    }
    EXPECT_EQ(choosers.size(), 2u);
    EXPECT_EQ(messages, Texts{});
    EXPECT_EQ(chdir(previous), 0);
}

} // namespace
