#include "platform/NumberText.h"

#include <cstdint>

namespace {

bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The sign and magnitude of the number at text, the magnitude held at 2^32 once it passes it.
bool ScanDecimal(const char*& text, bool* negative, uint64_t* magnitude) {
    constexpr uint64_t Beyond32Bits = uint64_t{1} << 32;
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    *negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    uint64_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<uint64_t>(*p - '0');
        if (value > Beyond32Bits)
            value = Beyond32Bits;
    }
    *magnitude = value;
    text = p;
    return true;
}

} // namespace

bool ScanInt32(const char*& text, int32_t* value) {
    const char* p = text;
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ScanDecimal(p, &negative, &magnitude))
        return false;
    int64_t signedValue =
        negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX)
        return false;
    *value = static_cast<int32_t>(signedValue);
    text = p;
    return true;
}

bool ScanUint32(const char*& text, uint32_t* value) {
    const char* p = text;
    bool negative = false;
    uint64_t magnitude = 0;
    if (!ScanDecimal(p, &negative, &magnitude) || magnitude > UINT32_MAX)
        return false;
    *value = static_cast<uint32_t>(negative ? 0 - magnitude : magnitude);
    text = p;
    return true;
}
