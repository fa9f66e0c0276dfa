#include "pack/PackSheet.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

namespace {

using PackSheetTest = DialogTest;

// The controls are read in order: the first that cannot be used stops the command and takes the
// focus (not checked where focused is 0), a source too large for the sheet is reported.
TEST_F(PackSheetTest, PacksOrSaysWhyNot) {
    const struct {
        const char *size, *distance, *margin;
        bool marginOff;
        int32_t focused;
        Texts messages, remembered;
    } cases[] = {
        {"2000x1700", "50", "20", false, SizeBox, {}, {}}, // x is no separator
        {"300 200", "abc", "20", false, DistanceEdit, {}, {}},
        {"300 200", "-40", "20", false, DistanceEdit, {}, {}}, // 40 high: no overlap of 40
        {"300 200", "50", "-1", false, MarginEdit, {}, {}},
        {"300 200", "50", "", true, 0, {}, {}}, // read also while the margin is off and disabled
        // The 60 x 40 photograph fits on a 110 x 100 sheet between margins of 25, not 26.
        {"110 100", "50", "25", false, 0, {}, {"110 100"}},
        {"110 100", "50", "26", false, 0, {"Błąd: Plik wejściowy za duży"}, {}},
        {"110 100", "50", "26", true, 0, {}, {"110 100"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.size) + " / " + c.distance + " / " + c.margin);
        ResetAppState();
        messages.clear();
        if (!c.remembered.empty())
            Expect([](Dialog* preview) { Click(preview, CloseButton); });
        RunMainDialog(photo, [&c](Dialog* dialog) {
            Type(dialog, SizeBox, c.size);
            Type(dialog, DistanceEdit, c.distance);
            Type(dialog, MarginEdit, c.margin);
            if (c.marginOff)
                Click(dialog, NoMarginCheckBox);
            Pick(dialog, BackgroundList, 4);
            Click(dialog, PackButton);
            if (c.focused != 0) {
                EXPECT_EQ(FocusedId(dialog), c.focused);
            }
            EXPECT_EQ(Entries(dialog, SizeBox), c.remembered);
            Click(dialog, ExitButton);
        });
        EXPECT_EQ(messages, c.messages);
        if (!c.messages.empty()) {
            EXPECT_EQ(appState.background, 4u); // stored before the refusal
        }
    }
}

// The format chosen in the main dialog is the preview's, and Enter there saves in it.
TEST_F(PackSheetTest, PackTakesTheSaveFormatAndSaveWritesIt) {
    const struct {
        int32_t format; // -1: a text typed, even an entry's very text, which chooses nothing
        const char *shown, *chooser, *typed, *written, *magic;
    } cases[] = {
        {2, "jpg, średnia kompresja", "save Bitmapy (*.jpg) .jpg asks", "sheet", "sheet.jpg",
         "\xFF\xD8"},
        {0, "bmp, bez kompresji", "save Bitmapy (*.bmp) .bmp asks", "sheet", "sheet.bmp", "BM"},
        {-1, "", "save Bitmapy (*.bmp) .bmp asks", "typed.bmp", "typed.bmp", "BM"},
    };
    for (const auto& c : cases) {
        choosers.clear();
        answers = {folder.Path(c.typed)};
        Expect([&c](Dialog* preview) {
            EXPECT_EQ(ComboGetCurSel(preview, SaveFormatBox), c.format);
            EXPECT_EQ(Text(preview, SaveFormatBox), c.shown);
            Press(preview, Qt::Key_Return);
        });
        RunMainDialog(photo, [&c](Dialog* dialog) {
            Type(dialog, SizeBox, "300 200");
            if (c.format >= 0)
                Pick(dialog, SaveFormatBox, c.format);
            else
                Type(dialog, SaveFormatBox, "bmp, bez kompresji");
            Click(dialog, PackButton);
            EXPECT_EQ(appState.sheetImage.block, nullptr); // released
            EXPECT_EQ(ComboGetCurSel(dialog, SaveFormatBox), c.format);
            Click(dialog, ExitButton);
        });
        EXPECT_EQ(choosers, Texts{c.chooser});
        EXPECT_EQ(ReadTextFile(folder.Path(c.written)).substr(0, 2), c.magic) << c.written;
        EXPECT_EQ(messages, Texts{});
    }
}

TEST_F(PackSheetTest, CancelledSaveKeepsThePreviewAndAFailedOneClosesIt) {
    answers = {std::nullopt, folder.Path("no/such/folder/sheet.bmp")};
    Expect([](Dialog* preview) {
        Pick(preview, SaveFormatBox, 0);
        Click(preview, SaveButton);
        EXPECT_TRUE(Window(preview)->isVisible());
        Click(preview, SaveButton);
    });
    RunMainDialog(photo, [](Dialog* dialog) {
        Type(dialog, SizeBox, "300 200");
        Click(dialog, PackButton);
        EXPECT_EQ(Text(dialog, SaveFormatBox), "bmp, bez kompresji"); // chosen in the preview
        Click(dialog, ExitButton);
    });
    EXPECT_EQ(messages, Texts{"Błąd: Zapis nieudany"});
}

} // namespace
