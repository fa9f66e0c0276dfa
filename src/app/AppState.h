#pragma once
// The one program-wide record: every setting, the source picture, the sheet while it is shown,
// and the recent sheet sizes.

#include "image/PackedDib.h"

#include <cstdint>

inline constexpr int RecentSizeSlots = 10;

struct RecentSize {
    int32_t width = 0;
    int32_t height = 0;
};

// Up to ten sheet sizes, slot 0 the newest, and the index of the one selected in the size box.
struct RecentSizes {
    RecentSize entries[RecentSizeSlots] = {};
    int32_t count = 0;    // 0 to 10; slots from count on carry no meaning
    int32_t lastUsed = 0; // 0 to count - 1, or 0 when the list is empty
};

struct AppState {
    const void* instance = nullptr; // what the dialog host runs in
    const char* startFile = "";     // the command-line file to open first; may be empty

    // The user's choices, persisted in the settings file.
    uint32_t marginOn = 1;   // 1: the margin is applied
    int32_t margin = 20;     // pixels on each side of the sheet
    int32_t distance = 50;   // minimum pixels between neighbouring copies; may be negative
    uint32_t background = 0; // row of BackgroundLevels
    int32_t saveMode = 1;    // row of SaveFormats, or -1 when the save-format box has no selection
    RecentSizes recentSizes;

    // The opened photograph, owned here from a successful load to the next Open or the exit.
    PackedDib sourceImage;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;

    // The sheet of the running pack command; present only while its preview is open.
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    PackedDib sheetImage;
    int32_t sheetBytes = 0; // 40 plus the pixel bytes

    int32_t previewWidth = 0; // size at which the preview draws the sheet
    int32_t previewHeight = 0;
};

extern AppState appState;

// Releases both pictures and puts every field back to its start value.
void ResetAppState();
