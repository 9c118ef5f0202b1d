// The bytes one addition appends, by what the file ends in.
#include "user_phrase_line.h"

#include <gtest/gtest.h>

namespace {

TEST(UserPhraseLine, StartsANewLineOnlyWhenTheLastLineIsOpen) {
    struct Case {
        const char* name;
        std::optional<char> lastByte;
        std::string expected;
    };
    const Case cases[] = {
        {"empty file", std::nullopt, "ab \xE5\xB1\xB1\r\n"},
        {"ends in LF", '\n', "ab \xE5\xB1\xB1\r\n"},
        {"ends in CR", '\r', "ab \xE5\xB1\xB1\r\n"},
        {"open last line", '\xB1', "\r\nab \xE5\xB1\xB1\r\n"},
        {"ends in a space", ' ', "\r\nab \xE5\xB1\xB1\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BuildUserPhraseLine("ab", "\xE5\xB1\xB1", c.lastByte), c.expected);
    }
}

}  // namespace
