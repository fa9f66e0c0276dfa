#include "pack/PackCommand.h"

#include "app/AppState.h"
#include "app/Messages.h"
#include "app/NumberText.h"
#include "pack/SheetCompositor.h"

#include <cstddef>

int ParseSheetSize(const char* text, int32_t* width, int32_t* height) {
    char separated[ControlTextBytes] = {};
    for (size_t i = 0; i + 1 < sizeof separated && text[i] != '\0'; ++i)
        separated[i] = text[i] == ',' || text[i] == '*' ? ' ' : text[i];
    const char* p = separated;
    if (!ScanInt32(p, width))
        return 0;
    return ScanInt32(p, height) ? 2 : 1;
}

bool ParseNumber(const char* text, int32_t* value) {
    return ScanInt32(text, value);
}

LayoutVerdict BuildSheet() {
    SheetLayout layout{};
    LayoutVerdict verdict = ComputeLayout(
        appState.sheetWidth, appState.sheetHeight, appState.sourceWidth, appState.sourceHeight,
        appState.distance, appState.marginOn, appState.margin, &layout);
    if (verdict == LayoutVerdict::Fits)
        appState.sheetImage = ComposeSheet(layout, &appState.sheetBytes);
    return verdict;
}

const char* LayoutRefusalMessage(LayoutVerdict verdict) {
    switch (verdict) {
    case LayoutVerdict::Fits:
        return nullptr;
    case LayoutVerdict::SourceTooLarge:
        return SourceTooLargeMessage;
    case LayoutVerdict::BadDistance:
        return BadDistanceMessage;
    case LayoutVerdict::BadMargin:
        return BadMarginMessage;
    case LayoutVerdict::BadSource:
        return WrongFormatMessage;
    }
    return nullptr;
}
