#include "platform/NumberText.h"

#include <gtest/gtest.h>

namespace {

TEST(ScanInt32, ReadsAsPercentDDoes) {
    struct {
        const char* text;
        bool converts;
        int32_t value;
        const char* rest; // what is left after the number
    } const cases[] = {
        {"25", true, 25, ""},
        {"  \t25abc", true, 25, "abc"},
        {"-5", true, -5, ""},
        {"+7 8", true, 7, " 8"},
        {"2147483647", true, INT32_MAX, ""},
        {"-2147483648", true, INT32_MIN, ""},
        {"2147483648", false, 0, nullptr}, // one past the range does not wrap
        {"-2147483649", false, 0, nullptr},
        {"99999999999999999999999", false, 0, nullptr},
        {"", false, 0, nullptr},
        {"   ", false, 0, nullptr},
        {"-", false, 0, nullptr},
        {"x25", false, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const char* p = c.text;
        int32_t value = 12345; // a failed scan leaves the value and the text as they were
        EXPECT_EQ(ScanInt32(p, &value), c.converts);
        EXPECT_EQ(value, c.converts ? c.value : 12345);
        EXPECT_STREQ(p, c.converts ? c.rest : c.text);
    }
}

TEST(ScanUint32, NegativeNumbersWrapAsInC) {
    struct {
        const char* text;
        bool converts;
        uint32_t value;
    } const cases[] = {
        {"0", true, 0},
        {"4294967295", true, 0xFFFFFFFFu},
        {"-1", true, 0xFFFFFFFFu},
        {"4294967291", true, 0xFFFFFFFBu}, // the writer's form of -5
        {"-5", true, 0xFFFFFFFBu},
        {"4294967296", false, 0},
        {"abc", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const char* p = c.text;
        uint32_t value = 0;
        EXPECT_EQ(ScanUint32(p, &value), c.converts);
        EXPECT_EQ(value, c.value);
    }
}

} // namespace
