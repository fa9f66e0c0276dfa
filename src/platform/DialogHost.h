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

// A dialog procedure: 1 when it handled the message, 0 to leave it to the host. For WM_COMMAND
// the low 16 bits of wParam are the command id.
using DialogProc = intptr_t (*)(Dialog* dialog, uint32_t message, uintptr_t wParam,
                                intptr_t lParam);

// DialogBoxParamA: builds the dialog from its template, delivers WM_INITDIALOG while it is still
// hidden, shows it and runs it modally, its owner taking no input meanwhile, until EndDialog.
// Returns the value given to EndDialog. How the user acts on it:
// - a click on a button sends its id; a check box toggles before its id arrives;
// - Enter sends the focused push button's id, otherwise IDOK while that button is enabled;
// - Esc and the title bar's close box send IDCANCEL and close nothing by themselves;
// - combo boxes and edits send nothing the procedures act on.
intptr_t DialogBoxParam(const DialogTemplate& dialogTemplate, Dialog* owner, DialogProc procedure,
                        intptr_t param);
// EndDialog: ends the modal dialog once the current message has been handled.
void EndDialog(Dialog* dialog, intptr_t result);

// MessageBoxA(GetFocus(), text, "Błąd", MB_OK): a modal message box owned by the window with the
// keyboard focus, with one OK button; returns when it is dismissed.
void ShowErrorMessage(const char* text);

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
