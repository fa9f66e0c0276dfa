#include "platform/NumberText.h"

#include <gtest/gtest.h>

namespace {

// "%d" and "%u" as the C library reads them, but a number beyond 32 bits never converts, rather
// than wrapping; "%u" takes a negative number modulo 2^32. A failed scan leaves the value and the
// text as they were; a scan that converts leaves the text after the number.
TEST(NumberText, ScansAsTheFormattedInputConversionsDo) {
    const struct {
        const char* text;
        bool int32, uint32; // converts with %d, with %u
        int64_t value;
        const char* rest;
    } cases[] = {{"25", true, true, 25, ""},
                 {"  \t25abc", true, true, 25, "abc"},
                 {"-5", true, true, -5, ""},
                 {"+7 8", true, true, 7, " 8"},
                 {"2147483647", true, true, INT32_MAX, ""},
                 {"-2147483648", true, true, INT32_MIN, ""},
                 {"2147483648", false, true, 2147483648, ""},
                 {"-2147483649", false, true, -2147483649, ""},
                 {"4294967295", false, true, 4294967295, ""},
                 {"4294967296", false, false, 0, ""},
                 {"99999999999999999999999", false, false, 0, ""},
                 {"", false, false, 0, ""},
                 {"   ", false, false, 0, ""},
                 {"-", false, false, 0, ""},
                 {"x25", false, false, 0, ""}};
    for (const auto& c : cases) {
        const char *p = c.text, *q = c.text;
        int32_t signedValue = 12345;
        uint32_t unsignedValue = 12345;
        EXPECT_EQ(ScanInt32(p, &signedValue), c.int32) << c.text;
        EXPECT_EQ(signedValue, c.int32 ? c.value : 12345) << c.text;
        EXPECT_STREQ(p, c.int32 ? c.rest : c.text);
        EXPECT_EQ(ScanUint32(q, &unsignedValue), c.uint32) << c.text;
        EXPECT_EQ(unsignedValue, c.uint32 ? static_cast<uint32_t>(c.value) : 12345u) << c.text;
        EXPECT_STREQ(q, c.uint32 ? c.rest : c.text);
    }
}

} // namespace
