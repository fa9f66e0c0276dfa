#pragma once
// The Pack button of the main dialog.

#include "platform/DialogItems.h"

// Reads the sheet size, distance, margin, resolution, background and save format from the main
// dialog into appState, composes the sheet with the print choices (cut guides, turned copies),
// remembers its size, shows it in the preview and releases it when the preview closes. A text that
// does not convert, or a value the grid cannot use, puts the focus on its control and stops without
// a message; a source that does not fit or a sheet whose memory cannot be had is reported. Each
// value is kept as soon as it converts.
void PackSheet(Dialog* dialog);
