#include "pack/PackSheet.h"

#include "app/AppState.h"
#include "image/LittleEndian.h"
#include "support/DialogTestKit.h"
#include "ui/DialogTemplates.h"

namespace {

using PackSheetTest = DialogTest;

TEST_F(PackSheetTest, TextsThatDoNotConvertFocusTheirControlWithoutAMessage) {
    struct {
        const char* size;
        const char* distance;
        const char* margin;
        bool marginOff;
        int32_t focused; // 0: a disabled control, which cannot take the focus
    } const cases[] = {
        {"2000x1700", "50", "20", false, SizeBox}, // x is no separator
        {"", "50", "20", false, SizeBox},
        {"300 200", "abc", "20", false, DistanceEdit},
        {"300 200", "50", "", true, 0}, // read also while the margin is off and its edit disabled
        {"300 200", "-40", "20", false, DistanceEdit}, // copies of 60 x 40 cannot overlap by 40
        {"300 200", "50", "-1", false, MarginEdit},
        {"300 200", "99999999999", "20", false, DistanceEdit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " / " + c.distance + " / " + c.margin);
        RunMainDialog(photo, [&c](Dialog* dialog) {
            TypeIntoItem(dialog, SizeBox, c.size);
            TypeIntoItem(dialog, DistanceEdit, c.distance);
            TypeIntoItem(dialog, MarginEdit, c.margin);
            if (c.marginOff)
                ClickItem(dialog, NoMarginCheckBox);
            ClickItem(dialog, PackButton);
            if (c.focused != 0) {
                EXPECT_EQ(FocusedItem(dialog), c.focused);
            }
            EXPECT_TRUE(ComboEntries(dialog, SizeBox).empty());
            ClickItem(dialog, ExitButton);
        });
        EXPECT_TRUE(messages.empty());
        ResetAppState();
    }
}

TEST_F(PackSheetTest, ValuesAreKeptAsTheyConvert) {
    RunMainDialog(photo, [](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "777");
        ClickItem(dialog, PackButton);
        EXPECT_EQ(appState.sheetWidth, 777);
        TypeIntoItem(dialog, SizeBox, "300,200");
        TypeIntoItem(dialog, DistanceEdit, "7");
        TypeIntoItem(dialog, MarginEdit, "none");
        ClickItem(dialog, PackButton);
        EXPECT_EQ(appState.sheetHeight, 200);
        EXPECT_EQ(appState.distance, 7); // converted before the margin failed, and kept
        ClickItem(dialog, ExitButton);
    });
}

TEST_F(PackSheetTest, SourceTooLargeForTheSheet) {
    RunMainDialog(photo, [](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "99 80"); // 60 + 2 x 20 > 99
        PickComboEntry(dialog, BackgroundList, 4);
        ClickItem(dialog, PackButton);
        EXPECT_EQ(appState.background, 4u); // stored before the refusal
        ClickItem(dialog, ExitButton);
    });
    EXPECT_EQ(messages, std::vector<std::string>{"Plik wejściowy za duży"});
}

TEST_F(PackSheetTest, PackShowsTheHalvedPreviewRemembersTheSizeAndReleasesTheSheet) {
    RunMainDialog(photo, [](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "2000, 1700");
        OnNextDialog([](Dialog* preview) {
            // 2000 x 1700 on a 1024 x 768 screen: halved twice.
            EXPECT_EQ(appState.previewWidth, 500);
            EXPECT_EQ(appState.previewHeight, 425);
            EXPECT_NE(appState.sheetImage.block, nullptr);
            EXPECT_EQ(ComboGetCurSel(preview, SaveFormatBox), 1);
            PickComboEntry(preview, SaveFormatBox, 3);
            PressKey(preview, UserKey::Escape);
        });
        ClickItem(dialog, PackButton);
        EXPECT_EQ(appState.sheetImage.block, nullptr);
        EXPECT_EQ(ComboEntries(dialog, SizeBox), std::vector<std::string>{"2000 1700"});
        EXPECT_EQ(dialog->ItemText(SizeBox), "2000 1700");
        EXPECT_EQ(ComboGetCurSel(dialog, SaveFormatBox), 3); // chosen in the preview
        ClickItem(dialog, ExitButton);
    });
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(appState.saveMode, 3);
}

// Save writes the format selected in the preview, through the chooser's kind of name.
TEST_F(PackSheetTest, SaveWritesTheSelectedFormat) {
    struct {
        int32_t format; // -1: a typed text, no format selected
        const char* pattern;
        const char* typed;
        const char* written;
    } const cases[] = {
        {0, "*.bmp", "sheet", "sheet.bmp"},
        {2, "*.jpg", "sheet", "sheet.jpg"},
        {-1, "*.bmp", "typed.bmp", "typed.bmp"}, // BMP rather than nothing at all
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        chooserAnswers = {folder.Path(c.typed)};
        chooserPatterns.clear();
        RunMainDialog(photo, [&c](Dialog* dialog) {
            TypeIntoItem(dialog, SizeBox, "300 200");
            OnNextDialog([&c](Dialog* preview) {
                if (c.format >= 0)
                    PickComboEntry(preview, SaveFormatBox, c.format);
                else
                    TypeIntoItem(preview, SaveFormatBox, "tiff");
                PressKey(preview, UserKey::Enter); // Enter saves
            });
            ClickItem(dialog, PackButton);
            ClickItem(dialog, ExitButton);
        });
        EXPECT_EQ(chooserPatterns, std::vector<std::string>{c.pattern});
        Bytes file = ReadWholeFile(folder.Path(c.written));
        ASSERT_GT(file.size(), 2u);
        if (c.format == 2) {
            EXPECT_EQ(file[0], 0xFF);
            EXPECT_EQ(file[1], 0xD8);
        } else {
            EXPECT_EQ(file.size(), 54u + 900u * 200u);
            EXPECT_EQ(ReadLe32(file.data() + 2), file.size());
        }
        EXPECT_EQ(appState.saveMode, c.format);
        EXPECT_TRUE(messages.empty());
        ResetAppState();
    }
}

TEST_F(PackSheetTest, CancelledSaveKeepsThePreviewAndAFailedOneClosesIt) {
    chooserAnswers = {std::nullopt, folder.Path("no/such/folder/sheet.bmp")};
    RunMainDialog(photo, [](Dialog* dialog) {
        TypeIntoItem(dialog, SizeBox, "300 200");
        OnNextDialog([](Dialog* preview) {
            PickComboEntry(preview, SaveFormatBox, 0);
            ClickItem(preview, SaveButton); // cancelled: still open
            ClickItem(preview, SaveButton); // fails, then closes
        });
        ClickItem(dialog, PackButton);
        EXPECT_EQ(ComboGetCurSel(dialog, SaveFormatBox), 0);
        ClickItem(dialog, ExitButton);
    });
    EXPECT_EQ(messages, std::vector<std::string>{"Zapis nieudany"});
}

} // namespace
