#include "pack/PackTexts.h"

#include "platform/NumberText.h"

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
