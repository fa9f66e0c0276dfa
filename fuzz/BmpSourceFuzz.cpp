// A BMP file through the source loading and its acceptance test and, when it is accepted, through
// a small layout and sheet. The last byte of the file picks the distance, the margin and the
// background, so that the fuzzer varies them with the picture.

#include "FuzzInput.h"

#include "app/AppState.h"
#include "image/SourceImage.h"
#include "pack/PackCommand.h"
#include "pack/SheetCompositor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ResetAppState();
    std::string name = WriteFuzzFile("source.bmp", data, size);
    SourceVerdict verdict = OpenSourcePicture(name.c_str());
    if (verdict != SourceVerdict::Loaded) {
        FUZZ_CHECK(appState.sourceImage.block == nullptr);
        return 0;
    }
    const PackedDib& source = appState.sourceImage;
    FUZZ_CHECK(IsPackablePicture(source));
    FUZZ_CHECK(appState.sourceWidth == ImageWidth(source.block));
    FUZZ_CHECK(appState.sourceHeight == ImageHeight(source.block));
    FUZZ_CHECK(appState.sourceWidth >= 1 && appState.sourceHeight >= 1);

    uint8_t knob = data[size - 1];      // a loaded picture is never empty
    appState.distance = (knob & 7) - 3; // -3 to 4: overlapping, touching and parted copies
    appState.margin = (knob >> 3) & 3;
    appState.marginOn = knob >> 7;
    appState.background = knob % backgroundLevelCount;
    appState.sheetWidth = 2 * appState.sourceWidth + 13;
    appState.sheetHeight = 2 * appState.sourceHeight + 11;
    if (BuildSheet() == LayoutVerdict::Fits)
        CheckBuiltSheet();
    else
        FUZZ_CHECK(appState.sheetImage.block == nullptr);
    ResetAppState();
    return 0;
}
