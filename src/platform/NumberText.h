#pragma once
// Decimal numbers in text. Stands in for the C library's formatted input (sscanf) with the
// conversions "%d" and "%u", and reads as they do:
// leading white space is skipped, an optional sign and then decimal digits are taken, and the
// conversion stops at the first character that cannot continue the number, leaving the rest.
// Unlike the C library, a number too large for 32 bits does not convert at all, rather than
// wrapping into some other value.
// On success text is moved past the number; on failure it is left where it was.

#include <cstdint>

// "%d": a signed 32-bit number.
bool ScanInt32(const char*& text, int32_t* value);
// "%u": an unsigned 32-bit number; a negative one is taken modulo 2^32, so "-1" gives 0xFFFFFFFF.
bool ScanUint32(const char*& text, uint32_t* value);
