// A settings file through ReadSettings and WriteSettings: every value read lies in its range, and
// a round trip changes nothing that was read: read, write, read again and compare, then write
// again and find the same file.

#include "FuzzInput.h"

#include "app/Settings.h"
#include "image/SaveFormats.h"
#include "pack/SheetCompositor.h"
#include "platform/ProfileFile.h"

#include <cstring>

namespace {

bool operator==(const Settings& one, const Settings& other) {
    const RecentSizes &a = one.recentSizes, &b = other.recentSizes;
    if (a.count != b.count || a.lastUsed != b.lastUsed)
        return false;
    for (int32_t i = 0; i < a.count; ++i) {
        if (a.entries[i].width != b.entries[i].width || a.entries[i].height != b.entries[i].height)
            return false;
    }
    return one.marginOn == other.marginOn && one.margin == other.margin &&
           one.distance == other.distance && one.background == other.background &&
           one.saveMode == other.saveMode;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = WriteFuzzFile(SettingsFileName, data, size);
    const Settings first = ReadSettings(path.c_str());
    const RecentSizes& recent = first.recentSizes;
    FUZZ_CHECK(recent.count >= 0 && recent.count <= RecentSizeSlots);
    FUZZ_CHECK(recent.lastUsed >= 0 && (recent.lastUsed < recent.count || recent.lastUsed == 0));
    FUZZ_CHECK(first.marginOn <= 1);
    FUZZ_CHECK(first.margin >= 0 && first.margin <= 300);
    FUZZ_CHECK(first.distance <= 400);
    FUZZ_CHECK(first.background < backgroundLevelCount);
    FUZZ_CHECK(first.saveMode >= 0 && first.saveMode < saveFormatCount);

    WriteSettings(path.c_str(), first);
    std::string saved = ReadFuzzFile(path);
    if (static_cast<int64_t>(size) > ProfileFileLimit)
        FUZZ_CHECK(saved.size() == size && std::memcmp(saved.data(), data, size) == 0);
    FUZZ_CHECK(ReadSettings(path.c_str()) == first);
    WriteSettings(path.c_str(), first);
    FUZZ_CHECK(ReadFuzzFile(path) == saved);
    return 0;
}
