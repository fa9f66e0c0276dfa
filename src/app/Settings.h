#pragma once
// The settings file "zeltrim.ini" in the current folder: every choice and the recent sheet sizes
// survive between runs in it. Sections "Resolution" (Count, XY1 .. XY<Count>, LastUsed) and
// "Kafelator" (MarginOn, Margin, Distance, Background, SaveMode; IgnoreOrientation, which is
// read but never written: a user sets it by hand; Dpi, CutGuides and TurnCopies, written only
// when the file holds them already or they differ from their defaults, so that the file of a user
// who never touched them stays as it was), every value decimal text.

#include "app/RecentSizes.h"
#include "image/SaveFormats.h"
#include "pack/SheetBuilding.h"

#include <cstdint>

// The name, bare: the file lives in the current folder.
inline constexpr char SettingsFileName[] = "zeltrim.ini";

// What the file keeps: the persisted fields of appState, each with the default that a missing or
// unusable value gives.
struct Settings {
    RecentSizes recentSizes;
    uint32_t marginOn = DefaultPackParameters.marginOn;
    int32_t margin = DefaultPackParameters.margin;
    int32_t distance = DefaultPackParameters.distance;
    uint32_t background = DefaultPackParameters.background;
    int32_t saveMode = DefaultSaveMode;
    uint32_t ignoreOrientation = 0; // 1: JPEG sources are packed as stored
    int32_t dpi = 0;                // the sheets' print resolution; 0 when none is set
    uint32_t cutGuides = DefaultPackParameters.cutGuides;
    uint32_t turnCopies = DefaultPackParameters.turnCopies;
};

// Reads the named file. Each value is checked on its own; a missing file, key or unusable value
// gives that field's default, silently.
Settings ReadSettings(const char* fileName);
// Writes every value but ignoreOrientation into the named file, so that a file without that key
// stays without it. Lines the program does not know stay in the file; a failure leaves the old
// file as it was and gives false.
bool WriteSettings(const char* fileName, const Settings& settings);

// ReadSettings of SettingsFileName into appState, once, before any window exists.
void LoadSettings();
// WriteSettings of appState's persisted fields into SettingsFileName, once, at exit; a failure
// is not reported.
void SaveSettings();
