#pragma once
// The recent sheet sizes in appState.recentSizes, newest first, up to ten, and the size box that
// offers them: an editable combo box whose entries read "width height".

#include "platform/DialogItems.h"

#include <cstdint>

// Empties the size box, adds every recent size in order and selects the one last used, which
// also puts its text in the edit part. With no recent sizes nothing is selected and the edit part
// stays empty.
void FillSizeBox(Dialog* dialog, int32_t id);

// Records a size that has just been packed and shows it as the size box's selection. A size
// already listed is only selected, neither moved nor added again; a new one goes first, the
// tenth of a full list dropping out. Either way the edit part ends up holding the size's
// "width height" text, whatever separator was typed.
void RememberSize(Dialog* dialog, int32_t id, int32_t width, int32_t height);
