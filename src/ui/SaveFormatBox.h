#pragma once
// The save-format box, the same in the main dialog and the preview: an editable combo box listing
// the save formats in table order, so that the selected index is the format's row.

#include "platform/DialogItems.h"

// Empties the box, adds every save format's name and selects appState.saveMode (none when it is
// not a row, as after a typed text).
void FillSaveFormatBox(Dialog* dialog);
