#include "pack/PackSheet.h"

#include "app/AppState.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

namespace {

using PackSheetTest = DialogTest;

const int32_t Fields[] = {SizeBox, DistanceEdit, MarginEdit};
const char SeparatorHint[] = "Rozmiar: liczby oddziel spacją, przecinkiem lub *, np. 2480 3508";
const char TwoNumbersHint[] = "Rozmiar: dwie liczby, np. 2480 3508";
const char SizeTooLargeHint[] = "Rozmiar: za duży, np. 2480 3508";
const char MarginOffHint[] = "Margines: odznacz „Bez marginesu” i wpisz liczbę, np. 20";

// The controls are read in order: the first that cannot be used stops the command, takes the
// focus where it can and is marked, and the hint strip says what it takes; a source too large for
// the sheet is reported. The photograph is 60 x 40.
TEST_F(PackSheetTest, PacksOrSaysWhyNot) {
    const struct {
        const char *size, *distance, *margin;
        bool marginOff;
        int32_t hinted; // the control at fault, or 0
        const char* hint;
        Texts messages = {}, remembered = {};
    } cases[] = {
        {"2000x1700", "50", "20", false, SizeBox, SeparatorHint},
        {"2000", "50", "20", false, SizeBox, TwoNumbersHint},
        // With the distance of 50 the sheet leaves the 32-bit range: the size is to blame.
        {"2147483647 2147483647", "50", "20", false, SizeBox, SizeTooLargeHint},
        {"300 200", "abc", "20", false, DistanceEdit, "Odstęp: liczba pikseli, np. 50"},
        {"300 200", "-40", "20", false, DistanceEdit, "Odstęp: najmniej -39, np. 50"},
        {"300 200", "2147483647", "20", false, DistanceEdit, "Odstęp: za duży, np. 50"},
        {"300 200", "50", "x", false, MarginEdit, "Margines: liczba pikseli, np. 20"},
        {"300 200", "50", "-1", false, MarginEdit, "Margines: najmniej 0, np. 20"},
        {"300 200", "50", "1073741824", false, MarginEdit, "Margines: za duży, np. 20"},
        // Read also while the margin is off and its edit, disabled, cannot take the focus.
        {"300 200", "50", "", true, MarginEdit, MarginOffHint},
        // The photograph fits on a 110 x 100 sheet between margins of 25, not 26.
        {"110 100", "50", "25", false, 0, "", {}, {"110 100"}},
        {"110 100", "50", "26", false, 0, "", {"Błąd: Plik wejściowy za duży"}},
        {"110 100", "50", "26", true, 0, "", {}, {"110 100"}},
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
            Control(dialog, PackButton)->setFocus();
            Press(dialog, Qt::Key_Return);
            EXPECT_EQ(FocusedId(dialog), c.hinted != 0 && !c.marginOff ? c.hinted : PackButton);
            for (int32_t field : Fields)
                EXPECT_EQ(IsDlgItemMarked(dialog, field), field == c.hinted) << field;
            EXPECT_EQ(Text(dialog, HintStrip), c.hint);
            EXPECT_EQ(Entries(dialog, SizeBox), c.remembered);
            Click(dialog, ExitButton);
        });
        EXPECT_EQ(messages, c.messages);
        if (!c.messages.empty()) {
            EXPECT_EQ(appState.background, 4u); // stored before the refusal
        }
    }
}

// A hint goes when its control's text changes, typed or picked, not another's; and the next
// pack command starts without it.
TEST_F(PackSheetTest, AHintStaysUntilItsControlsTextChanges) {
    appState.recentSizes = {{{300, 200}}, 1, 0};
    auto hinted = [](Dialog* dialog) {
        int32_t found = 0;
        for (int32_t field : Fields)
            found = IsDlgItemMarked(dialog, field) ? field : found;
        return std::pair(found, !Text(dialog, HintStrip).empty());
    };
    Expect([](Dialog* preview) { Click(preview, CloseButton); });
    RunMainDialog(photo, [&hinted](Dialog* dialog) {
        // Each field refused, mended by typing or, for the size box, by picking a recent size.
        const struct {
            int32_t field;
            const char* text;
        } changes[] = {{SizeBox, "2480x3508"}, {DistanceEdit, "abc"}, {MarginEdit, "x"}};
        for (const auto& change : changes) {
            Type(dialog, change.field, change.text);
            Click(dialog, PackButton);
            EXPECT_EQ(hinted(dialog), std::pair(change.field, true));
            for (int32_t other : Fields) {
                if (other != change.field) {
                    Type(dialog, other, Text(dialog, other) + "0");
                    EXPECT_EQ(hinted(dialog), std::pair(change.field, true)) << other;
                }
            }
            if (change.field == SizeBox)
                Pick(dialog, SizeBox, 0);
            else
                Type(dialog, change.field, "20");
            EXPECT_EQ(hinted(dialog), std::pair(0, false)) << change.field;
        }
        // A negative margin, then no margin at all: the pack goes ahead and the hint is gone.
        Type(dialog, MarginEdit, "-1");
        Click(dialog, PackButton);
        EXPECT_EQ(hinted(dialog), std::pair(MarginEdit, true));
        Click(dialog, NoMarginCheckBox);
        EXPECT_EQ(hinted(dialog), std::pair(MarginEdit, true));
        Click(dialog, PackButton);
        EXPECT_EQ(hinted(dialog), std::pair(0, false));
        Click(dialog, ExitButton);
    });
}

// The format chosen in the main dialog is the preview's, and Enter there saves in it; a cancelled
// save keeps the preview, a failed one closes it with a message.
TEST_F(PackSheetTest, PackTakesTheSaveFormatAndSaveWritesIt) {
    const struct {
        int32_t format; // -1: a text typed, even an entry's very text, which chooses nothing
        const char *shown, *chooser, *typed, *written, *magic;
    } cases[] = {
        {2, "jpg, średnia kompresja", "save Bitmapy (*.jpg) .jpg asks", "sheet", "sheet.jpg",
         "\xFF\xD8"},
        {0, "bmp, bez kompresji", "save Bitmapy (*.bmp) .bmp asks", "sheet", "sheet.bmp", "BM"},
        {-1, "", "save Bitmapy (*.bmp) .bmp asks", "typed.bmp", "typed.bmp", "BM"},
        {0, "bmp, bez kompresji", "save Bitmapy (*.bmp) .bmp asks", "no/such/sheet.bmp", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        choosers.clear();
        messages.clear();
        answers = {std::nullopt, folder.Path(c.typed)};
        Expect([&c](Dialog* preview) {
            EXPECT_EQ(ComboGetCurSel(preview, SaveFormatBox), c.format);
            EXPECT_EQ(Text(preview, SaveFormatBox), c.shown);
            Press(preview, Qt::Key_Return);
            EXPECT_TRUE(Window(preview)->isVisible());
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
        EXPECT_EQ(choosers, Texts(2, c.chooser));
        if (c.written[0] != '\0') {
            EXPECT_EQ(ReadTextFile(folder.Path(c.written)).substr(0, 2), c.magic);
        }
        EXPECT_EQ(messages, c.magic[0] ? Texts{} : Texts{"Błąd: Zapis nieudany"});
    }
}

// A resolution outside 1 to 10000 is refused like the other values; one inside it, the turned
// copies and the cut guides reach the sheet, and the saved file carries the resolution. The 60 x
// 40 photograph fits 1 x 3 times on 100 x 130, turned 2 x 2 times, 6 and 3 pixels apart.
TEST_F(PackSheetTest, PrintChoicesReachTheSheetAndItsFile) {
    answers = {folder.Path("sheet.bmp")};
    Expect([](Dialog* preview) {
        Pick(preview, SaveFormatBox, 0);
        Click(preview, SaveButton);
    });
    RunMainDialog(photo, [](Dialog* dialog) {
        Type(dialog, SizeBox, "100 130");
        Type(dialog, DistanceEdit, "0");
        Click(dialog, NoMarginCheckBox);
        for (const char* refused : {"0", "10001", "x"}) {
            Type(dialog, DpiEdit, refused);
            Click(dialog, PackButton);
            EXPECT_EQ(FocusedId(dialog), DpiEdit) << refused;
            EXPECT_TRUE(IsDlgItemMarked(dialog, DpiEdit));
            EXPECT_EQ(Text(dialog, HintStrip),
                      "Rozdzielczość: od 1 do 10000 dpi albo puste pole, np. 300");
        }
        Type(dialog, DpiEdit, "10000");
        EXPECT_FALSE(IsDlgItemMarked(dialog, DpiEdit));
        Click(dialog, TurnCopiesCheckBox);
        Click(dialog, PackButton);
        EXPECT_EQ(Text(dialog, SaveFormatBox), "bmp, bez kompresji"); // chosen in the preview
        Click(dialog, ExitButton);
    });
    EXPECT_EQ(appState.dpi, 10000);
    PackedDib turned = MakeTurnedPicture(60, 40);
    Bytes expected = BmpFileBytes(ReferenceSheet(turned, 100, 130, 255, {2, 2, 6, 3, 6, 3}));
    ReleaseDib(turned);
    for (ptrdiff_t field : {38, 42}) // 393,701 pixels per metre
        std::copy_n(Bytes{0xE5, 0x01, 0x06, 0x00}.begin(), 4, expected.begin() + field);
    EXPECT_TRUE(ReadWholeFile(folder.Path("sheet.bmp")) == expected);
    EXPECT_EQ(messages, Texts{});
}

} // namespace
