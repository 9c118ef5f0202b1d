#include <gtest/gtest.h>

#include <string>

#include "cin_table.h"

TEST(SplitKeyValue, KeyBeforeFirstBlankValueTrimmedWithInnerBlanksKept) {
    struct Case {
        std::string line, key, value;
    };
    const Case cases[] = {
        {"a x", "a", "x"},
        {"b   x  y  ", "b", "x  y"},
        {"c\tx\t y\t", "c", "x\t y"},
        {"keyonly", "keyonly", ""},
        {"key   ", "key", ""},
        {" leading", "", "leading"},
        {"\t", "", ""},
        {"a\rb c", "a\rb", "c"},  // only space and tab are blanks
        {"", "", ""},
    };
    for (const Case& c : cases) {
        KeyValue kv = SplitKeyValue(c.line);
        EXPECT_EQ(kv.key, c.key) << c.line;
        EXPECT_EQ(kv.value, c.value) << c.line;
        // Both are views into the line.
        if (!kv.key.empty()) {
            EXPECT_EQ(kv.key.data(), c.line.data()) << c.line;
        }
    }
}

TEST(ToLowerAscii, LowersOnlyAsciiCapitals) {
    EXPECT_EQ(ToLowerAscii("AZaz@[`{09?*"), "azaz@[`{09?*");
    const std::string high = "\xC3\x84\xE5\x8F\xA3\xFF";  // never folded
    EXPECT_EQ(ToLowerAscii(high), high);
    EXPECT_EQ(ToLowerAscii(""), "");
}
