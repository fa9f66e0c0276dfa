// A settings file through LoadSettings and SaveSettings: every value loaded lies in its range, and
// a round trip changes nothing that was loaded: load, save, load again and compare, then save
// again and find the same file. The recent sizes loaded then fill the size box and take one more
// size, as the main dialog and the pack command do with them.

#include "FuzzInput.h"

#include "app/AppState.h"
#include "app/RecentSizes.h"
#include "app/Settings.h"
#include "image/SaveFormats.h"
#include "pack/SheetCompositor.h"
#include "platform/MemoryDialog.h"
#include "platform/ProfileFile.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char SettingsFileName[] = "zeltrim.ini";
constexpr int32_t SizeBox = 1000;

// The persisted fields of appState.
struct Persisted {
    RecentSizes recentSizes;
    uint32_t marginOn;
    int32_t margin, distance;
    uint32_t background;
    int32_t saveMode;

    bool operator==(const Persisted& other) const {
        if (recentSizes.count != other.recentSizes.count ||
            recentSizes.lastUsed != other.recentSizes.lastUsed)
            return false;
        for (int32_t i = 0; i < recentSizes.count; ++i) {
            if (recentSizes.entries[i].width != other.recentSizes.entries[i].width ||
                recentSizes.entries[i].height != other.recentSizes.entries[i].height)
                return false;
        }
        return marginOn == other.marginOn && margin == other.margin && distance == other.distance &&
               background == other.background && saveMode == other.saveMode;
    }
};

Persisted Loaded() {
    return {appState.recentSizes, appState.marginOn,   appState.margin,
            appState.distance,    appState.background, appState.saveMode};
}

// A state far from anything a file gives, so that a value the second load fails to assign shows.
void Scramble() {
    ResetAppState();
    appState.recentSizes.count = 7;
    appState.recentSizes.lastUsed = 6;
    appState.marginOn = 5;
    appState.margin = -77;
    appState.distance = 999;
    appState.background = 77;
    appState.saveMode = -7;
}

std::string SizeText(const RecentSize& size) {
    char text[32];
    std::snprintf(text, sizeof text, "%d %d", size.width, size.height);
    return text;
}

// The size box lists every recent size and shows the one last used; a size packed next joins
// the list without breaking its bounds.
void CheckSizeBox() {
    const RecentSizes& recent = appState.recentSizes;
    MemoryDialog dialog;
    FillSizeBox(&dialog, SizeBox);
    FUZZ_CHECK(dialog.ComboBoxEntryCount(SizeBox) == recent.count);
    if (recent.count > 0) {
        FUZZ_CHECK(dialog.ComboBoxSelection(SizeBox) == recent.lastUsed);
        FUZZ_CHECK(dialog.ItemText(SizeBox) == SizeText(recent.entries[recent.lastUsed]));
    } else {
        FUZZ_CHECK(dialog.ComboBoxSelection(SizeBox) == CB_ERR && dialog.ItemText(SizeBox).empty());
    }
    const RecentSize packed = {INT32_MIN, -1};
    RememberSize(&dialog, SizeBox, packed.width, packed.height);
    FUZZ_CHECK(recent.count >= 1 && recent.count <= RecentSizeSlots);
    FUZZ_CHECK(dialog.ComboBoxEntryCount(SizeBox) == recent.count);
    FUZZ_CHECK(dialog.ItemText(SizeBox) == SizeText(packed));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The settings file is looked for in the current folder.
    if (chdir(FuzzFolder().c_str()) != 0)
        FuzzFailure("the scratch folder can be entered", __FILE__, __LINE__);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = WriteFuzzFile(SettingsFileName, data, size);
    Scramble();
    LoadSettings();
    const Persisted first = Loaded();
    const RecentSizes& recent = first.recentSizes;
    FUZZ_CHECK(recent.count >= 0 && recent.count <= RecentSizeSlots);
    FUZZ_CHECK(recent.lastUsed >= 0 && (recent.lastUsed < recent.count || recent.lastUsed == 0));
    FUZZ_CHECK(first.marginOn <= 1);
    FUZZ_CHECK(first.margin >= 0 && first.margin <= 300);
    FUZZ_CHECK(first.distance <= 400);
    FUZZ_CHECK(first.background < backgroundLevelCount);
    FUZZ_CHECK(first.saveMode >= 0 && first.saveMode < saveFormatCount);

    SaveSettings();
    std::string saved = ReadFuzzFile(path);
    if (static_cast<int64_t>(size) > ProfileFileLimit)
        FUZZ_CHECK(saved.size() == size && std::memcmp(saved.data(), data, size) == 0);
    Scramble();
    LoadSettings();
    FUZZ_CHECK(Loaded() == first);
    SaveSettings();
    FUZZ_CHECK(ReadFuzzFile(path) == saved);
    CheckSizeBox();
    ResetAppState();
    return 0;
}
