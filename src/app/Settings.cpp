#include "app/Settings.h"

#include "app/AppState.h"
#include "pack/SheetCompositor.h"
#include "platform/NumberText.h"
#include "platform/ProfileFile.h"

#include <cstdio>

namespace {

const char ResolutionSection[] = "Resolution";
const char KafelatorSection[] = "Kafelator";

// A value is read into a buffer of 50 characters, so at most 49 of it are seen.
constexpr int32_t ValueBufferBytes = 50;
// Room for "XY" and any int32_t.
constexpr int KeyBufferBytes = 16;

// The largest margin and distance a file may hold. Larger ones can be typed, and are written
// back, but a file holding one gives the default.
constexpr uint32_t MarginLimit = 300;
constexpr int32_t DistanceLimit = 400;

void RecentSizeKey(int32_t index, char (&key)[KeyBufferBytes]) {
    std::snprintf(key, sizeof key, "XY%d", index + 1); // XY1 holds the newest size, entry 0
}

// A "%u" value; false when the key is missing or its text does not start with a number.
bool ReadUnsigned(const ProfileFile& profile, const char* section, const char* key,
                  uint32_t* value) {
    char text[ValueBufferBytes];
    profile.Read(section, key, text, sizeof text);
    const char* rest = text;
    return ScanUint32(rest, value);
}

// The number of recent sizes that were read, each a "%u %u" pair, stopping at the first that
// fails.
int32_t ReadRecentSizes(const ProfileFile& profile, RecentSizes& recent) {
    char text[ValueBufferBytes];
    const char* rest = text;
    int32_t count = 0;
    profile.Read(ResolutionSection, "Count", text, sizeof text);
    if (!ScanInt32(rest, &count) || count < 1 || count > RecentSizeSlots)
        return 0;
    for (int32_t i = 0; i < count; ++i) {
        char key[KeyBufferBytes];
        RecentSizeKey(i, key);
        profile.Read(ResolutionSection, key, text, sizeof text);
        rest = text;
        uint32_t width = 0, height = 0;
        if (!ScanUint32(rest, &width) || !ScanUint32(rest, &height))
            return i; // later keys are not read
        recent.entries[i] = {static_cast<int32_t>(width), static_cast<int32_t>(height)};
    }
    return count;
}

void WriteUnsigned(ProfileFile& profile, const char* section, const char* key, uint32_t value) {
    char text[ValueBufferBytes];
    std::snprintf(text, sizeof text, "%u", value);
    profile.Write(section, key, text);
}

// A key that came later than the others: written only when the file holds it already or the
// value is not its default, so that files of users who never chose it stay as they were.
void WriteLaterKey(ProfileFile& profile, const char* key, uint32_t value, uint32_t defaultValue) {
    if (value != defaultValue || profile.Holds(KafelatorSection, key))
        WriteUnsigned(profile, KafelatorSection, key, value);
}

} // namespace

Settings ReadSettings(const char* fileName) {
    const Settings defaults;
    ProfileFile profile(fileName);
    Settings settings;
    RecentSizes& recent = settings.recentSizes;
    recent.count = ReadRecentSizes(profile, recent);

    uint32_t value = 0;
    if (ReadUnsigned(profile, ResolutionSection, "LastUsed", &value) &&
        value < static_cast<uint32_t>(recent.count))
        recent.lastUsed = static_cast<int32_t>(value);

    // Any number that is not positive as a signed value, -1 too, turns the margin off.
    if (ReadUnsigned(profile, KafelatorSection, "MarginOn", &value))
        settings.marginOn = static_cast<int32_t>(value) > 0 ? 1 : 0;

    bool parsed = ReadUnsigned(profile, KafelatorSection, "Margin", &value);
    settings.margin =
        parsed && value <= MarginLimit ? static_cast<int32_t>(value) : defaults.margin;

    // Written as the unsigned form of the field, so a negative distance (overlapping copies)
    // comes back as a large number that is negative again as a signed value.
    parsed = ReadUnsigned(profile, KafelatorSection, "Distance", &value);
    settings.distance = parsed && static_cast<int32_t>(value) <= DistanceLimit
                            ? static_cast<int32_t>(value)
                            : defaults.distance;

    parsed = ReadUnsigned(profile, KafelatorSection, "Background", &value);
    settings.background =
        parsed && value < static_cast<uint32_t>(backgroundLevelCount) ? value : defaults.background;

    parsed = ReadUnsigned(profile, KafelatorSection, "SaveMode", &value);
    settings.saveMode = parsed && value < static_cast<uint32_t>(saveFormatCount)
                            ? static_cast<int32_t>(value)
                            : defaults.saveMode;

    parsed = ReadUnsigned(profile, KafelatorSection, "IgnoreOrientation", &value);
    settings.ignoreOrientation = parsed && value <= 1 ? value : defaults.ignoreOrientation;

    parsed = ReadUnsigned(profile, KafelatorSection, "Dpi", &value);
    settings.dpi = parsed && value <= static_cast<uint32_t>(MaxDpi) ? static_cast<int32_t>(value)
                                                                    : defaults.dpi;
    parsed = ReadUnsigned(profile, KafelatorSection, "CutGuides", &value);
    settings.cutGuides = parsed && value <= 1 ? value : defaults.cutGuides;
    parsed = ReadUnsigned(profile, KafelatorSection, "TurnCopies", &value);
    settings.turnCopies = parsed && value <= 1 ? value : defaults.turnCopies;
    return settings;
}

bool WriteSettings(const char* fileName, const Settings& settings) {
    ProfileFile profile(fileName);
    const RecentSizes& recent = settings.recentSizes;
    WriteUnsigned(profile, ResolutionSection, "Count", static_cast<uint32_t>(recent.count));
    // Keys beyond the count that an earlier run left stay; the count keeps them from being read.
    for (int32_t i = 0; i < recent.count; ++i) {
        char key[KeyBufferBytes];
        char text[ValueBufferBytes];
        RecentSizeKey(i, key);
        std::snprintf(text, sizeof text, "%u %u", static_cast<uint32_t>(recent.entries[i].width),
                      static_cast<uint32_t>(recent.entries[i].height));
        profile.Write(ResolutionSection, key, text);
    }
    WriteUnsigned(profile, ResolutionSection, "LastUsed", static_cast<uint32_t>(recent.lastUsed));

    profile.Write(KafelatorSection, "MarginOn", settings.marginOn != 0 ? "1" : "0");
    WriteUnsigned(profile, KafelatorSection, "Margin", static_cast<uint32_t>(settings.margin));
    WriteUnsigned(profile, KafelatorSection, "Distance", static_cast<uint32_t>(settings.distance));
    WriteUnsigned(profile, KafelatorSection, "Background", settings.background);
    WriteUnsigned(profile, KafelatorSection, "SaveMode", static_cast<uint32_t>(settings.saveMode));
    const Settings defaults;
    WriteLaterKey(profile, "Dpi", static_cast<uint32_t>(settings.dpi),
                  static_cast<uint32_t>(defaults.dpi));
    WriteLaterKey(profile, "CutGuides", settings.cutGuides, defaults.cutGuides);
    WriteLaterKey(profile, "TurnCopies", settings.turnCopies, defaults.turnCopies);
    return profile.Save();
}

void LoadSettings() {
    Settings settings = ReadSettings(SettingsFileName);
    appState.recentSizes = settings.recentSizes;
    appState.marginOn = settings.marginOn;
    appState.margin = settings.margin;
    appState.distance = settings.distance;
    appState.background = settings.background;
    appState.saveMode = settings.saveMode;
    appState.ignoreOrientation = settings.ignoreOrientation;
    appState.dpi = settings.dpi;
    appState.cutGuides = settings.cutGuides;
    appState.turnCopies = settings.turnCopies;
}

void SaveSettings() {
    // A settings file that cannot be written is not the user's concern at exit.
    WriteSettings(SettingsFileName,
                  {appState.recentSizes, appState.marginOn, appState.margin, appState.distance,
                   appState.background, appState.saveMode, appState.ignoreOrientation, appState.dpi,
                   appState.cutGuides, appState.turnCopies});
}
