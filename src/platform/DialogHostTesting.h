#pragma once
// Seams of the dialog host for tests that run the dialogs headless (QT_QPA_PLATFORM=offscreen):
// scripted answers in place of the message box and the file chooser, a given screen size, and
// acting on a dialog as its user would.

#include "platform/DialogItems.h"
#include "platform/FileChooserHost.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Message boxes go to the handler instead of the screen; an empty handler restores the real box.
void SetMessageBoxHandler(std::function<void(const char* text)> handler);
// The file chooser's answer: the path the user confirms, or nothing for cancel. The chooser's own
// rules (default extension, the buffer's length) still apply. An empty handler restores the real
// chooser.
void SetFileChooserHandler(std::function<std::optional<std::string>(const OpenFileName&)> handler);
// The size GetSystemMetrics reports; 0 x 0 restores the real screen's.
void SetScreenSize(int32_t width, int32_t height);

// Runs the script once the next modal dialog has been shown, inside its modal run; the script
// acts on it and ends it (through its buttons or keys).
void OnNextDialog(std::function<void(Dialog* dialog)> script);
// Runs for a dialog shown with no script waiting, so that a test never waits for a user.
void OnUnscriptedDialog(std::function<void(Dialog* dialog)> handler);

// The user clicks a control (a disabled one takes no click).
void ClickItem(Dialog* dialog, int32_t id);
// The user replaces the text of an edit or a combo box's edit part by typing.
void TypeIntoItem(Dialog* dialog, int32_t id, const std::string& text);
// The user picks entry index from a combo box's list.
void PickComboEntry(Dialog* dialog, int32_t id, int32_t index);
enum class UserKey { Enter, Escape, CloseBox };
// The user presses a key on the focused control, or clicks the title bar's close box.
void PressKey(Dialog* dialog, UserKey key);

bool IsItemEnabled(Dialog* dialog, int32_t id);
// The id of the control with the keyboard focus, or nothing.
std::optional<int32_t> FocusedItem(Dialog* dialog);
std::vector<std::string> ComboEntries(Dialog* dialog, int32_t id);

// The dialog as it shows on screen: width x height pixels, 0xRRGGBB, top row first.
struct DialogPicture {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
DialogPicture GrabDialog(Dialog* dialog);
// Writes the dialog as a PNG file; false when it cannot.
bool SaveDialogScreenshot(Dialog* dialog, const std::string& fileName);
