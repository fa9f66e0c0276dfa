#pragma once
// The dialog manager the dialog procedures run under: modal dialogs built from templates, the
// messages a procedure receives, message boxes, and the window placement and painting calls the
// procedures use. Each call stands in for the classic Windows call of the same name and keeps
// its promise. Implemented over Qt Widgets; nothing here needs a Qt header.

#include "platform/DialogItems.h"
#include "platform/DialogTemplate.h"

#include <cstdint>

// Messages a dialog procedure receives.
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_INITDIALOG = 0x0110;
inline constexpr uint32_t WM_COMMAND = 0x0111;

// Notification codes, in the high 16 bits of a WM_COMMAND's wParam: the user changed an edit's
// text, picked a combo box entry, or changed the text of a combo box's edit part.
inline constexpr uint16_t EN_CHANGE = 0x0300;
inline constexpr uint16_t CBN_SELCHANGE = 1;
inline constexpr uint16_t CBN_EDITCHANGE = 5;

// A dialog procedure: 1 when it handled the message, 0 to leave it to the host. For WM_COMMAND
// the low 16 bits of wParam are the command id, the high 16 bits the notification code (0 for a
// button).
using DialogProc = intptr_t (*)(Dialog* dialog, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);

// DialogBoxParamA: builds the dialog from its template, delivers WM_INITDIALOG while it is still
// hidden, shows it and runs it modally, its owner taking no input meanwhile, until EndDialog.
// Returns the value given to EndDialog. How the user acts on it:
// - a click on a button sends its id; a check box toggles before its id arrives;
// - Enter sends the focused push button's id, otherwise IDOK while that button is enabled; the
//   button Enter would press is the one drawn as the default;
// - Esc and the title bar's close box send IDCANCEL and close nothing by themselves;
// - an edit whose text the user changes sends EN_CHANGE with its id, a combo box CBN_SELCHANGE
//   when an entry is picked and CBN_EDITCHANGE when its edit part is typed into; text set by
//   the procedures sends nothing;
// - once CatchStopSignals (StopSignals.h) has caught a stop signal, the innermost open window is
//   dismissed as its user would dismiss it, then the one beneath, until none is left: a dialog
//   gets IDCANCEL, a message box or a file chooser is cancelled.
intptr_t DialogBoxParam(const DialogTemplate& dialogTemplate, Dialog* owner, DialogProc procedure,
                        intptr_t param);
// EndDialog: ends the modal dialog once the current message has been handled.
void EndDialog(Dialog* dialog, intptr_t result);

// MessageBoxA(GetFocus(), text, "Błąd", MB_OK): a modal message box owned by the window with the
// keyboard focus, with one OK button; returns when it is dismissed. Shows nothing once a stop
// signal is caught: the program is ending, and nobody waits to read it.
void ShowErrorMessage(const char* text);

// MessageBoxA(GetFocus(), text, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2): a modal
// question owned by the window with the keyboard focus, No the default; true for Yes. Asks
// nothing, and gives No, once a stop signal is caught.
bool AskYesNo(const char* caption, const char* text);

// The toolkit's own texts (the file chooser, its buttons and questions, the edits' menus) in
// Polish, as the program's are: loads the toolkit's Polish translations, once, and formats dates
// and sizes the Polish way. False when the translations are not installed.
bool UsePolishToolkitTexts();

struct WindowRect {
    int32_t left, top, right, bottom;
};
struct WindowPoint {
    int32_t x, y;
};

// GetSystemMetrics with SM_CXSCREEN and SM_CYSCREEN: the primary screen's size in pixels.
inline constexpr int32_t SM_CXSCREEN = 0, SM_CYSCREEN = 1;
int32_t GetSystemMetrics(int32_t index);

// GetWindowRect: the dialog's outer rectangle in screen pixels, frame included.
WindowRect GetWindowRect(Dialog* dialog);
// GetWindowRect(GetDlgItem(dialog, id)): a control's rectangle in screen pixels.
WindowRect GetDlgItemRect(Dialog* dialog, int32_t id);
// GetClientRect: the dialog's client area, from 0, 0.
WindowRect GetClientRect(Dialog* dialog);
// ScreenToClient: a screen point in the dialog's client coordinates.
WindowPoint ScreenToClient(Dialog* dialog, WindowPoint point);
// MoveWindow and SetWindowPos with SWP_NOZORDER: places and sizes the dialog.
void MoveWindow(Dialog* dialog, int32_t x, int32_t y, int32_t width, int32_t height);
// SetWindowPos(GetDlgItem(dialog, id), ..., SWP_NOSIZE | SWP_NOZORDER): moves a control, in
// client coordinates, keeping its size and stacking.
void MoveDlgItem(Dialog* dialog, int32_t id, int32_t x, int32_t y);

// StretchDIBits with COLORONCOLOR, only while the dialog handles WM_PAINT: draws a width x height
// picture of bottom-up 24-bit rows, rowStride bytes apart from the first at `bits`, into the
// destination rectangle, scaling by dropping rows and columns, never blending them. The picture
// is read in place; no copy of it is made.
void StretchDIBits(Dialog* dialog, int32_t x, int32_t y, int32_t destinationWidth,
                   int32_t destinationHeight, const uint8_t* bits, int32_t width, int32_t height,
                   int64_t rowStride);
