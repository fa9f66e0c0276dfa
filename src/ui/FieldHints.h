#pragma once
// Hints for a value of the main dialog that the pack command cannot use. The command still only
// moves the focus to it, without a message box; the hint tells the user what to do: the control
// at fault is marked and the hint strip at the bottom of the dialog names the value and what it
// takes. A hint stays until that control's text changes or the next pack command.

#include "platform/DialogItems.h"

#include <cstdint>

// Marks the control (the size box, the distance, margin or resolution edit) and shows the text in
// the hint strip; any other hint goes.
void ShowFieldHint(Dialog* dialog, int32_t id, const char* text);
// Takes every hint away, as a pack command starts.
void ClearFieldHints(Dialog* dialog);
// The user has changed the control's text: its hint, if it has one, goes.
void FollowFieldText(Dialog* dialog, int32_t id);
