#pragma once
// The settings file "zeltrim.ini" in the current folder: every choice and the recent sheet sizes
// survive between runs in it. Sections "Resolution" (Count, XY1 .. XY<Count>, LastUsed) and
// "Kafelator" (MarginOn, Margin, Distance, Background, SaveMode), every value decimal text.

// Reads the file once, before any window exists, and assigns every persisted field of appState.
// Each value is checked on its own; a missing file, key or unusable value gives that field's
// default, silently.
void LoadSettings();
// Writes every persisted field of appState back, once, at exit. Lines the program does not know
// stay in the file; a failure leaves the old file as it was and is not reported.
void SaveSettings();
