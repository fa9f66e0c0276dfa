#include "pack/PackTexts.h"

#include "platform/NumberText.h"

#include <cstddef>

namespace {

// The size box's text as ParseSheetSize reads it: at most 49 characters, "," and "*" as blanks.
void SeparateSize(const char* text, char (&separated)[ControlTextBytes]) {
    for (size_t i = 0; i + 1 < sizeof separated && text[i] != '\0'; ++i)
        separated[i] = text[i] == ',' || text[i] == '*' ? ' ' : text[i];
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int ParseSheetSize(const char* text, int32_t* width, int32_t* height) {
    char separated[ControlTextBytes] = {};
    SeparateSize(text, separated);
    const char* p = separated;
    if (!ScanInt32(p, width))
        return 0;
    return ScanInt32(p, height) ? 2 : 1;
}

bool MisseparatedSheetSize(const char* text) {
    char separated[ControlTextBytes] = {};
    SeparateSize(text, separated);
    const char* p = separated;
    int32_t width = 0;
    if (!ScanInt32(p, &width))
        return false;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    if (*p == '\0' || *p == '-' || *p == '+' || IsDigit(*p))
        return false; // nothing more, or a second number, however it failed
    for (; *p != '\0'; ++p)
        if (IsDigit(*p))
            return true;
    return false;
}

bool ParseNumber(const char* text, int32_t* value) {
    return ScanInt32(text, value);
}
