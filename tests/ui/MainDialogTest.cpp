#include "ui/MainDialog.h"

#include "app/AppState.h"
#include "support/DialogTestKit.h"
#include "ui/DialogTemplates.h"

namespace {

using MainDialogTest = DialogTest;

TEST_F(MainDialogTest, StartsWithNoFile) {
    appState.saveMode = 2;
    appState.background = 3;
    RunMainDialog("", [](Dialog* dialog) {
        EXPECT_FALSE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "");
        EXPECT_TRUE(ComboEntries(dialog, SizeBox).empty());
        EXPECT_EQ(dialog->ItemText(SizeBox), "");
        EXPECT_EQ(ComboGetCurSel(dialog, BackgroundList), 3);
        EXPECT_EQ(ComboEntries(dialog, BackgroundList).size(), 5u);
        EXPECT_EQ(ComboGetCurSel(dialog, SaveFormatBox), 2);
        EXPECT_EQ(dialog->ItemText(SaveFormatBox), "jpg, średnia kompresja");
        EXPECT_EQ(dialog->ItemText(DistanceEdit), "50");
        EXPECT_EQ(dialog->ItemText(MarginEdit), "20");
        EXPECT_FALSE(IsDlgButtonChecked(dialog, NoMarginCheckBox));
        EXPECT_TRUE(IsItemEnabled(dialog, MarginEdit));
        // The Pack button is disabled, so the first control to take the focus is the exit button.
        EXPECT_EQ(FocusedItem(dialog), ExitButton);
        ClickItem(dialog, ExitButton);
    });
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainDialogTest, StartsWithAPhotograph) {
    RunMainDialog(photo, [](Dialog* dialog) {
        EXPECT_TRUE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "60 40");
        EXPECT_EQ(FocusedItem(dialog), PackButton);
        PressKey(dialog, UserKey::Escape);
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_NE(appState.sourceImage.block, nullptr);
}

TEST_F(MainDialogTest, UnreadableStartFileSaysSoOnceAndLeavesNoSource) {
    // Quote characters a shell left in place are part of the name.
    RunMainDialog("\"" + photo + "\"", [](Dialog* dialog) {
        EXPECT_FALSE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "");
        PressKey(dialog, UserKey::CloseBox);
    });
    EXPECT_EQ(messages, std::vector<std::string>{"Nie mogę otworzyć zadanego pliku"});
}

TEST_F(MainDialogTest, PictureThatCannotBePackedIsRefusedAtOnce) {
    std::string eightBit = std::string(TEST_DATA_DIR) + "/bmpsuite/g/pal8.bmp";
    RunMainDialog(eightBit, [](Dialog* dialog) {
        EXPECT_FALSE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "");
        ClickItem(dialog, ExitButton);
    });
    EXPECT_EQ(messages, std::vector<std::string>{"Plik wejściowy w nieprawidłowym formacie"});
    EXPECT_EQ(appState.sourceImage.block, nullptr);
}

TEST_F(MainDialogTest, OpenCancelledKeepsTheSourceAndOpenOfABadFileDropsIt) {
    chooserAnswers = {std::nullopt, folder.Path("missing.jpg")};
    RunMainDialog(photo, [this](Dialog* dialog) {
        ClickItem(dialog, OpenButton); // cancelled
        EXPECT_TRUE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "60 40");
        EXPECT_TRUE(messages.empty());
        ClickItem(dialog, OpenButton); // a file that is not there
        EXPECT_FALSE(IsItemEnabled(dialog, PackButton));
        EXPECT_EQ(dialog->ItemText(SourceSizeLabel), "");
        ClickItem(dialog, ExitButton);
    });
    EXPECT_EQ(messages, std::vector<std::string>{"Nie mogę otworzyć zadanego pliku"});
    ASSERT_EQ(chooserRequests.size(), 2u);
    EXPECT_EQ(chooserPatterns[0], "*.bmp;*.jpg");
}

TEST_F(MainDialogTest, NoMarginCheckBoxFollowsAndDrivesTheMarginSwitch) {
    appState.marginOn = 0;
    appState.margin = 35;
    RunMainDialog("", [](Dialog* dialog) {
        EXPECT_TRUE(IsDlgButtonChecked(dialog, NoMarginCheckBox));
        EXPECT_FALSE(IsItemEnabled(dialog, MarginEdit));
        EXPECT_EQ(dialog->ItemText(MarginEdit), "35");
        ClickItem(dialog, NoMarginCheckBox);
        EXPECT_EQ(appState.marginOn, 1u);
        EXPECT_TRUE(IsItemEnabled(dialog, MarginEdit));
        ClickItem(dialog, NoMarginCheckBox);
        EXPECT_EQ(appState.marginOn, 0u);
        EXPECT_FALSE(IsItemEnabled(dialog, MarginEdit));
        ClickItem(dialog, ExitButton);
    });
}

TEST_F(MainDialogTest, EnterDoesNothingWhilePackIsDisabled) {
    RunMainDialog("", [](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "300 200");
        PressKey(dialog, UserKey::Enter);
        EXPECT_EQ(appState.sheetWidth, 0);                  // no pack command ran
        EXPECT_TRUE(ComboEntries(dialog, SizeBox).empty()); // nor was the text inserted
        ClickItem(dialog, ExitButton);
    });
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainDialogTest, CentredOnTheScreenNeverAboveOrLeftOfIt) {
    for (auto screen : {std::pair{1024, 768}, {100, 100}}) {
        int32_t width = screen.first, height = screen.second;
        SetScreenSize(width, height);
        RunMainDialog("", [width, height](Dialog* dialog) {
            // Placed before it first shows; a frame the window gets then may shift it a little.
            WindowRect window = GetWindowRect(dialog);
            int32_t x = (width - (window.right - window.left)) / 2;
            int32_t y = (height - (window.bottom - window.top)) / 2;
            EXPECT_NEAR(window.left, x < 0 ? 0 : x, 4);
            EXPECT_NEAR(window.top, y < 0 ? 0 : y, 4);
            EXPECT_GE(window.left, 0);
            EXPECT_GE(window.top, 0);
            ClickItem(dialog, ExitButton);
        });
    }
}

} // namespace
