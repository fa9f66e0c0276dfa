#pragma once
// The one program-wide record of the dialogs: every setting, the source picture, the sheet while
// it is shown, and the recent sheet sizes. The dialogs, the pack command and the entry read and
// write it and hand its fields to the core, which never sees it.

#include "app/RecentSizes.h"
#include "image/PackedDib.h"
#include "image/SaveFormats.h"
#include "pack/SheetBuilding.h"

#include <cstdint>
#include <vector>

struct AppState {
    const void* instance = nullptr; // what the dialog host runs in
    const char* startFile = "";     // the command-line file to open first; may be empty

    // The user's choices, persisted in the settings file.
    uint32_t marginOn = DefaultPackParameters.marginOn; // 1: the margin is applied
    int32_t margin = DefaultPackParameters.margin;
    int32_t distance = DefaultPackParameters.distance;
    uint32_t background = DefaultPackParameters.background;
    int32_t saveMode = DefaultSaveMode; // row of SaveFormats, or -1 when none is selected
    RecentSizes recentSizes;
    uint32_t ignoreOrientation = 0; // 1: JPEG pixels are packed as stored, not turned upright
    int32_t dpi = 0; // the sheets' print resolution, MinDpi to MaxDpi; 0 when none is set
    uint32_t cutGuides = DefaultPackParameters.cutGuides;   // 1: guides to cut along
    uint32_t turnCopies = DefaultPackParameters.turnCopies; // 1: turned where more copies fit

    // The opened photograph, owned here from a successful load to the next Open or the exit.
    PackedDib sourceImage;
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    std::vector<uint8_t> sourceProfile; // its ICC colour profile, for the JPEG sheets; may be empty

    // The sheet of the running pack command, its byte count with it; present only while its
    // preview is open.
    int32_t sheetWidth = 0;
    int32_t sheetHeight = 0;
    PackedDib sheetImage;

    int32_t previewWidth = 0; // size at which the preview draws the sheet
    int32_t previewHeight = 0;
};

extern AppState appState;

// Releases both pictures and puts every field back to its start value.
void ResetAppState();
