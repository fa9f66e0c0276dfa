// A PNG file through the source loading: a PNG picture that loads is a packable 24-bit block of
// exactly its rows with zeroed pad bytes, and its profile one a JPEG sheet can carry; one that
// does not leaves nothing behind.

#include "FuzzInput.h"

#include "image/SheetMetadata.h"
#include "image/SourceImage.h"
#include "platform/PngCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string name = WriteFuzzFile("source.png", data, size);
    PackableSource loaded = LoadPackableSource(name.c_str(), {});
    if (loaded.verdict != SourceVerdict::Loaded) {
        FUZZ_CHECK(loaded.image.block == nullptr && loaded.iccProfile.empty());
        return 0;
    }
    // Inputs that mutated into another kind load by that kind's rules.
    if (HasPngSignature(data, static_cast<int64_t>(size)))
        CheckDecodedBlock(loaded.image);
    FUZZ_CHECK(static_cast<int64_t>(loaded.iccProfile.size()) <= MaxIccProfileBytes);
    ReleaseDib(loaded.image);
    return 0;
}
