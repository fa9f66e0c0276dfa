#include "pack/PackTexts.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseSheetSize, SeparatorsAsThePackCommandTakesThem) {
    struct {
        const char* text;
        int converted;
        int32_t width, height;
    } const cases[] = {
        {"2000 1700", 2, 2000, 1700},
        {"2000,1700", 2, 2000, 1700},
        {" 2000 ,1700 ", 2, 2000, 1700},
        {"2000*1700", 2, 2000, 1700},
        {"2000 1700 and more", 2, 2000, 1700},
        {"2000-1700", 2, 2000, -1700}, // the minus starts a second number
        {"2000x1700", 1, 2000, -1},    // x is no separator: only the width converts
        {"x", 0, -1, -1},
        {"", 0, -1, -1},
        {"99999999999 5", 0, -1, -1}, // beyond 32 bits does not convert
        // The size box is read through a 50-byte buffer: 49 characters at most.
        {"                                             100 200", 1, 100, -1},
        {"                                          100 200", 2, 100, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t width = -1, height = -1;
        EXPECT_EQ(ParseSheetSize(c.text, &width, &height), c.converted);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
}

} // namespace
