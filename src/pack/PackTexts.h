#pragma once
// The texts the user types for a sheet: the size box's two numbers and the edits' one, read as
// the pack command reads them.

#include <cstdint>

// The pack command reads the size box and the edits through a buffer of this many bytes, so at
// most 49 characters of each count.
inline constexpr int32_t ControlTextBytes = 50;

// The size box's text: every "," and "*" counts as a blank, then two "%d" numbers, so
// "2000 1700", "2000,1700", "2000, 1700" and "2000*1700" all give 2000 x 1700 and text after the
// second number is ignored. Each number is stored as it converts; the result is how many did.
int ParseSheetSize(const char* text, int32_t* width, int32_t* height);

// Whether a size text that ParseSheetSize cannot read holds a number, something other than
// blanks, "," and "*", and then more digits: "2480x3508", "2480 x 3508", "2480/3508". The user
// then needs to hear which separators count rather than that two numbers are wanted.
bool MisseparatedSheetSize(const char* text);

// One "%d" number from an edit's text; false when none converts.
bool ParseNumber(const char* text, int32_t* value);
