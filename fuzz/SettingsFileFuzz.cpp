// A settings file through LoadSettings and SaveSettings: every value loaded lies in its range, and
// a round trip changes nothing that was loaded: load, save, load again and compare, then save
// again and find the same file.

#include "FuzzInput.h"

#include "app/AppState.h"
#include "app/Settings.h"
#include "image/SaveFormats.h"
#include "pack/SheetCompositor.h"
#include "platform/ProfileFile.h"

#include <cstring>
#include <unistd.h>

namespace {

const char SettingsFileName[] = "zeltrim.ini";

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
    ResetAppState();
    return 0;
}
