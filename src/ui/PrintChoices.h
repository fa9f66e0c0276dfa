#pragma once
// The main dialog's print choices below the others: the resolution, a paper that fills the size
// box with its pixel size, landscape, cut guides and turned copies; and what they tell before
// packing: the source's size in millimetres at the resolution and how many copies fit, as the
// source stands and turned a quarter, kept up to date as the values change.

#include "platform/DialogItems.h"

#include <cstdint>

// The resolution edit's text: blanks only for none (0), else a "%d" number from 1 to 10000.
// False for anything else.
bool ReadDpiText(const char* text, int32_t* dpi);

// Sets the controls from appState: the resolution (empty when none), the papers with none
// chosen, portrait, the two check boxes; then what they tell.
void InitialisePrintChoices(Dialog* dialog);
// A paper picked or landscape toggled: with a paper chosen, the size box takes its pixel size at
// the resolution, 300 dpi when the edit holds none it can use (the edit then says 300).
void FollowPaperChoice(Dialog* dialog);
// The resolution typed: with a paper chosen, the size box takes its pixel size at a resolution
// the edit holds; the edit is never changed under the user's hands.
void FollowResolution(Dialog* dialog);
// The user typed or picked a size: the paper no longer stands for it.
void ForgetPaperChoice(Dialog* dialog);
// The check boxes, which change appState at the click.
void FollowPrintCheckBox(Dialog* dialog, int32_t id);
// The source's size in millimetres at the resolution (300 dpi when none is set) and how many
// copies fit both ways with the values as typed; empty where a value does not convert or there is
// no source.
void ShowSheetFacts(Dialog* dialog);
