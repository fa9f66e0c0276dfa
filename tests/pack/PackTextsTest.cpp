#include "pack/PackTexts.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace {

// Every "," and "*" is a blank, so "2000x1700" gives only the width and "2000-1700" a negative
// height; a number beyond 32 bits does not convert; the size box is read through a 50-byte
// buffer, so 49 characters count.
TEST(ParseSheetSize, SeparatorsAsThePackCommandTakesThem) {
    const struct {
        const char* text;
        int converted;
        int32_t width, height;
    } cases[] = {{"2000,1700", 2, 2000, 1700},
                 {" 2000 ,1700 ", 2, 2000, 1700},
                 {"2000*1700", 2, 2000, 1700},
                 {"2000 1700 and more", 2, 2000, 1700},
                 {"2000-1700", 2, 2000, -1700},
                 {"2000x1700", 1, 2000, -1},
                 {"x", 0, -1, -1},
                 {"", 0, -1, -1},
                 {"99999999999 5", 0, -1, -1}};
    for (const auto& c : cases) {
        int32_t width = -1, height = -1;
        EXPECT_EQ(ParseSheetSize(c.text, &width, &height), c.converted) << c.text;
        EXPECT_EQ(std::tuple(width, height), std::tuple(c.width, c.height)) << c.text;
    }
    int32_t width = -1, height = -1;
    EXPECT_EQ(ParseSheetSize((std::string(42, ' ') + "100 200").c_str(), &width, &height), 2);
    EXPECT_EQ(ParseSheetSize((std::string(45, ' ') + "100 200").c_str(), &width, &height), 1);
}

// Which hint a size the pack command cannot read gets: the separator's, when a number, something
// other than blanks, "," and "*", and more digits follow one another.
TEST(MisseparatedSheetSize, ANumberThenAnotherSeparatorThenDigits) {
    const std::pair<const char*, bool> cases[] = {
        {"2480x3508", true}, {"2480 x 3508", true},      {"2480X3508", true}, {"2480/3508", true},
        {"2480;3508", true}, {"2480 3508", false},       {"2480", false},     {"2480 ", false},
        {"2480 abc", false}, {"x3508", false},           {"", false},         {"2480 -x", false},
        {"2480 +", false},   {"2480 99999999999", false}};
    for (const auto& [text, misseparated] : cases)
        EXPECT_EQ(MisseparatedSheetSize(text), misseparated) << text;
}

} // namespace
