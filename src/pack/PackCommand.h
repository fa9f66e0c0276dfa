#pragma once
// The pack command's reading of the user's values and its making of the sheet, shared by the
// main dialog's Pack button and the command-line packer.

#include "pack/GridLayout.h"

#include <cstdint>

// The pack command reads the size box and the edits through a buffer of this many bytes, so at
// most 49 characters of each count.
inline constexpr int32_t ControlTextBytes = 50;

// The size box's text: every "," and "*" counts as a blank, then two "%d" numbers, so
// "2000 1700", "2000,1700", "2000, 1700" and "2000*1700" all give 2000 x 1700 and text after the
// second number is ignored. Each number is stored as it converts; the result is how many did.
int ParseSheetSize(const char* text, int32_t* width, int32_t* height);

// One "%d" number from an edit's text; false when none converts.
bool ParseNumber(const char* text, int32_t* value);

// Lays out the grid for appState's sheet, source, distance and margin and, when it fits, composes
// the sheet into appState.sheetImage and its size into appState.sheetBytes. Returns the layout's
// verdict; after Fits, no sheet means its memory could not be had.
LayoutVerdict BuildSheet();

// The message for a layout that does not fit; nullptr for Fits.
const char* LayoutRefusalMessage(LayoutVerdict verdict);
