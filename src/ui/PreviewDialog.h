#pragma once
// The preview: the sheet just composed, halved until it fits on the screen, with the save-format
// box and the Save, Close and Print buttons in a strip below it.

#include "platform/DialogHost.h"

#include <cstdint>

intptr_t PreviewDialogProc(Dialog* dialog, uint32_t message, uintptr_t wParam, intptr_t lParam);

// Moves a control by dx, dy pixels, keeping its size.
void MoveControl(Dialog* dialog, int32_t id, int32_t dx, int32_t dy);

// Halves width and height together until both fit in availableWidth x availableHeight; on a
// screen too small for even that, stops at 0 x 0.
void FitByHalving(int32_t availableWidth, int32_t availableHeight, int32_t* width, int32_t* height);
