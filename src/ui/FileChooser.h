#pragma once
// Asking the user for a file name: one to open as the source photograph, or one to save the sheet
// under.

#include "platform/DialogItems.h"

#include <cstdint>

// The callers' buffers for a chosen path.
inline constexpr int32_t FileNameBufferBytes = 2000;

// Puts the chosen full path into buffer (FileNameBufferBytes long), or the empty text when the
// user cancels. Open mode offers BMP and JPEG files; save mode offers "*.jpg" with the JPEG flag
// and "*.bmp" without, appends that extension to a name typed without one, and asks before an
// existing file is replaced. The save chooser starts with no name; the current folder is the same
// afterwards.
void ChooseFile(char* buffer, Dialog* owner, int openFlag, int jpegFlag);
