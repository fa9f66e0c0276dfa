#include "ui/MainDialog.h"

#include "app/AppState.h"
#include "platform/DialogHost.h"
#include "support/DialogDriver.h"
#include "ui/DialogTemplates.h"

#include <functional>
#include <tuple>

namespace {

using MainDialogTest = DialogTest;

// Placed before it shows, the window may move by the frame it gets then; never off the screen.
void ExpectCentred(Dialog* dialog, bool tooWide) {
    QRect window = Window(dialog)->frameGeometry();
    EXPECT_EQ(window.width() > ScreenWidth, tooWide);
    EXPECT_NEAR(window.left(), tooWide ? 0 : (ScreenWidth - window.width()) / 2, 2);
    EXPECT_NEAR(window.top(), (ScreenHeight - window.height()) / 2, 2);
    EXPECT_GE(window.left(), 0);
}

// What the controls say, in the order given.
Texts Shown(Dialog* dialog, std::initializer_list<int32_t> ids) {
    Texts shown;
    for (int32_t id : ids)
        shown.push_back(Text(dialog, id));
    return shown;
}

TEST_F(MainDialogTest, ShowsTheStateAndFollowsTheNoMarginCheckBox) {
    std::tie(appState.saveMode, appState.background, appState.distance, appState.marginOn,
             appState.margin) = std::tuple(2, 3u, -7, 0u, 35);
    RunMainDialog("", [](Dialog* dialog) {
        ExpectCentred(dialog, false);
        Type(dialog, MarginEdit, "9"); // disabled: not taken
        EXPECT_EQ(Shown(dialog, {BackgroundList, SaveFormatBox, DistanceEdit, MarginEdit}),
                  (Texts{"ciemnoszare", "jpg, średnia kompresja", "-7", "35"}));
        for (uint32_t marginOn : {0u, 1u, 0u}) {
            EXPECT_EQ(appState.marginOn, marginOn);
            EXPECT_EQ(Control(dialog, NoMarginCheckBox)->property("checked"), marginOn == 0);
            EXPECT_EQ(Control(dialog, MarginEdit)->isEnabled(), marginOn == 1);
            Click(dialog, NoMarginCheckBox);
        }
        // No source: Enter anywhere but on a button does nothing.
        Type(dialog, SizeBox, "300 200");
        Press(dialog, Qt::Key_Return);
        Press(dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(messages, Texts{});
    EXPECT_EQ(appState.sheetWidth, 0); // no pack command ran
}

// The file given at start is opened, or refused, before the dialog shows; without a source the
// Pack button is disabled and the exit button takes the focus first. The Open button then
// replaces the source, keeps it on cancel and drops it for a bad file.
TEST_F(MainDialogTest, SourceIsOpenedAtStartOrByTheOpenButton) {
    const struct {
        std::string file;
        Texts messages;
        const char* label;
    } cases[] = {
        {"", {}, ""},
        {photo, {}, "60 40"},
        // Quote characters a shell left in place are part of the name.
        {"\"" + photo + "\"", {"Błąd: Nie mogę otworzyć zadanego pliku"}, ""},
        {TEST_DATA_DIR "/bmpsuite/q/rgb24jpeg.bmp",
         {"Błąd: Plik wejściowy w nieprawidłowym formacie"},
         ""},
    };
    for (const auto& c : cases) {
        messages.clear();
        RunMainDialog(c.file, [this, &c](Dialog* dialog) {
            EXPECT_EQ(messages, c.messages);
            EXPECT_EQ(Text(dialog, SourceSizeLabel), c.label);
            bool packable = c.label[0] != '\0';
            EXPECT_EQ(Control(dialog, PackButton)->isEnabled(), packable);
            EXPECT_EQ(FocusedId(dialog), packable ? PackButton : ExitButton);
            Window(dialog)->close(); // the close box
        });
        EXPECT_EQ(appState.sourceImage.block != nullptr, c.label[0] != '\0') << c.file;
    }
    WriteTextFile(folder.Path("bad.jpg"), "no picture");
    answers = {photo, std::nullopt, folder.Path("bad.jpg")};
    messages.clear();
    RunMainDialog("", [](Dialog* dialog) {
        for (const char* label : {"60 40", "60 40", ""}) {
            Control(dialog, OpenButton)->setFocus();
            Press(dialog, Qt::Key_Return); // Enter on a button is that button
            EXPECT_EQ(Text(dialog, SourceSizeLabel), label);
            EXPECT_EQ(Control(dialog, PackButton)->isEnabled(), label[0] != '\0');
        }
        Click(dialog, ExitButton);
    });
    EXPECT_EQ(messages, Texts{"Błąd: Nie mogę otworzyć zadanego pliku"});
    EXPECT_EQ(choosers.at(0), "open Bitmapy (*.bmp *.jpg *.jpeg *.png) .bmp");
}

// A 35 x 45 mm photograph at 300 dpi. The paper fills the size box at the resolution, 300 dpi
// when none is typed, until a size is typed; the copies that fit are counted both ways as the
// values change. The print choices follow the others in the tab order.
TEST_F(MainDialogTest, PrintChoicesFillTheSizeAndTellWhatFits) {
    std::string passport = folder.Path("passport.bmp");
    WriteWholeFile(passport, BmpFileBytes(PictureBytes(413, 531)));
    appState.distance = 10;
    appState.turnCopies = 1;
    RunMainDialog(passport, [](Dialog* dialog) {
        EXPECT_EQ(Entries(dialog, PaperList).at(5), "10 x 15 cm");
        EXPECT_EQ(ComboGetCurSel(dialog, PaperList), CB_ERR);
        EXPECT_EQ(Control(dialog, TurnCopiesCheckBox)->property("checked"), true);
        EXPECT_EQ(Shown(dialog, {DpiEdit, SizeBox, CopyCountLabel, SourceMillimetresLabel}),
                  (Texts{"", "", "", "35,0 x 45,0 mm przy 300 dpi"})); // no size yet
        const std::pair<std::function<void()>, Texts> steps[] = {
            {[dialog] { Pick(dialog, PaperList, 5); },
             {"300", "1181 1772", "Kopii: 6, po obróceniu: 8", "35,0 x 45,0 mm przy 300 dpi"}},
            {[dialog] { Click(dialog, LandscapeCheckBox); },
             {"300", "1772 1181", "Kopii: 8, po obróceniu: 6", "35,0 x 45,0 mm przy 300 dpi"}},
            {[dialog] { Type(dialog, DpiEdit, "600"); },
             {"600", "3543 2362", "Kopii: 32, po obróceniu: 30", "17,5 x 22,5 mm przy 600 dpi"}},
            {[dialog] { Type(dialog, SizeBox, "900 600"); },
             {"600", "900 600", "Kopii: 2, po obróceniu: 1", "17,5 x 22,5 mm przy 600 dpi"}},
            {[dialog] { Type(dialog, DpiEdit, "300"); },
             {"300", "900 600", "Kopii: 2, po obróceniu: 1", "35,0 x 45,0 mm przy 300 dpi"}},
            {[dialog] { Type(dialog, DistanceEdit, "x"); },
             {"300", "900 600", "", "35,0 x 45,0 mm przy 300 dpi"}},
        };
        for (const auto& [act, shown] : steps) {
            act();
            EXPECT_EQ(Shown(dialog, {DpiEdit, SizeBox, CopyCountLabel, SourceMillimetresLabel}),
                      shown);
        }
        Click(dialog, CutGuidesCheckBox);
        Click(dialog, TurnCopiesCheckBox);
        EXPECT_EQ(std::pair(appState.cutGuides, appState.turnCopies), std::pair(1u, 0u));
        Control(dialog, SaveFormatBox)->setFocus();
        for (int32_t next : {DpiEdit, PaperList, LandscapeCheckBox, CutGuidesCheckBox,
                             TurnCopiesCheckBox, PackButton}) {
            Press(dialog, Qt::Key_Tab);
            EXPECT_EQ(FocusedId(dialog), next);
        }
        Click(dialog, ExitButton);
    });
    EXPECT_EQ(appState.dpi, 0); // kept only by a pack command
}

TEST_F(MainDialogTest, WindowWiderThanTheScreenStartsAtItsLeftEdge) {
    const DialogTemplate wide = {"WIDE", "", 1000, 40, WS_POPUP | WS_CAPTION, "", 8, nullptr, 0};
    Expect([](Dialog* dialog) {
        ExpectCentred(dialog, true);
        EndDialog(dialog, 1);
    });
    DialogBoxParam(
        wide, nullptr,
        [](Dialog* dialog, uint32_t message, uintptr_t, intptr_t) {
            if (message == WM_INITDIALOG)
                CenterOnScreen(dialog);
            return intptr_t{1};
        },
        0);
}

} // namespace
