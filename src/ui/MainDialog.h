#pragma once
// The main dialog, the program's only top-level window: the source photograph, the sheet size,
// distance, margin, background and save format, and the Pack and exit buttons.

#include "platform/DialogHost.h"

intptr_t MainDialogProc(Dialog* dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Moves the window to the middle of the screen, never above or left of it.
void CenterOnScreen(Dialog* dialog);
// Loads the named file as the source photograph, saying so when it cannot be loaded or packed;
// afterwards appState.sourceImage holds a picture that can be packed, or none.
void OpenSourceFile(const char* fileName);
// Enables the Pack button and shows the source's size when there is a source; otherwise
// disables the button and empties the label.
void ShowSourceState(Dialog* dialog);
