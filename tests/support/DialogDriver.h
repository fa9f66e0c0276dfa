#pragma once
// Drives the program's real dialogs from outside, as their user does. A filter on all of the
// application's events sees each dialog that shows and answers it inside its modal run: a message
// box is recorded and confirmed, a file chooser is recorded and given the test's next name, a
// dialog of the program runs the test's next script. A dialog left open fails the test and is
// closed, so that no test waits for a user.

#include "platform/DialogItems.h"
#include "support/TestFiles.h"

#include <QRectF>
#include <QWidget>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// The primary screen of the dialog tests, as screen.json makes it.
inline constexpr int32_t ScreenWidth = 1024, ScreenHeight = 768;

using Script = std::function<void(Dialog*)>;
using Texts = std::vector<std::string>;

class DialogTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The next dialog of the program to show runs the script, which ends it.
    void Expect(Script script) { scripts_.push_back(std::move(script)); }
    // Runs the main dialog as the entry does; its script runs before those expected already.
    void RunMainDialog(const std::string& startFile, Script script);

    ScratchFolder folder;
    std::string photo; // a 60 x 40 BMP photograph in the folder
    // Each message box as "caption: text", a question with " [yes/no]" as its buttons read.
    Texts messages;
    // Each file chooser as "open" or "save", its filter, its default extension and, when it asks
    // before replacing a file, "asks".
    Texts choosers;
    // What each file chooser says: its title and its buttons, " | " between them.
    Texts chooserWords;
    // The file choosers' answers in turn: a name typed, or none to cancel. A chooser that stays
    // open takes the next one.
    std::deque<std::optional<std::string>> answers;
    bool replaceFile = true; // the answer when a chooser asks
    // The print dialogs' answers in turn: print to this PDF file, or none to cancel.
    std::deque<std::optional<std::string>> printAnswers;
    // The printable area of each print dialog that printed, in points from the page's top left,
    // as the toolkit reports it for the chosen page.
    std::vector<QRectF> printableAreas;
    // A signal raised as the next file chooser shows, before its answer; with no answer left the
    // chooser waits for the program to close it.
    int chooserSignal = 0;

  private:
    friend class DialogDriver;
    std::deque<Script> scripts_;
    std::unique_ptr<QObject> driver_;
    std::string startFile_;
};

// A dialog of the program as a window, and its control with the given id.
QWidget* Window(Dialog* dialog);
QWidget* Control(Dialog* dialog, int32_t id);

// What the user does; a disabled control takes nothing. Type replaces the text of an edit or of
// a combo box's edit part key by key, Pick chooses from a combo box's list, Press goes to the
// control with the focus.
void Click(Dialog* dialog, int32_t id);
void Type(Dialog* dialog, int32_t id, const std::string& text);
void Pick(Dialog* dialog, int32_t id, int32_t index);
void Press(Dialog* dialog, Qt::Key key);

// Lets the program run until the window has closed; a failure after a few seconds.
void WaitUntilClosed(QWidget* window);

// What the user sees: a control's text, a combo box's list, the control with the focus (0: none),
// the push button drawn as the default (0: none).
std::string Text(Dialog* dialog, int32_t id);
Texts Entries(Dialog* dialog, int32_t id);
int32_t FocusedId(Dialog* dialog);
int32_t DefaultId(Dialog* dialog);
