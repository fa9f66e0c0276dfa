#pragma once
// The preview's Print button: the sheet printed at true size, each pixel 1/dpi inch (300 dpi when
// the sheet carries no resolution), at the top left of the printable area, never scaled to fit.

#include "platform/DialogItems.h"

// Asks for the printer through the system's print dialog and prints appState's sheet on it. A
// sheet larger than the printable area is printed only when the user, told by how much, chooses
// to go on. A job that fails is reported. The preview stays open.
void PrintSheet(Dialog* preview);
