#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "cin_lines.h"
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

TEST(ForEachCinLine, LinesStayInsideTheContentWhereverItsLastPieceEnds) {
    // Each content is cut out of a longer buffer, so a line reaching past its end would
    // show as a wrong line rather than as a fault.
    struct Case {
        const char* content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"x", {"x"}},
        {"\n", {}},
        {"\r", {}},
        {"ab\ncd", {"ab", "cd"}},
        {"ab\ncd\n", {"ab", "cd"}},
        {"ab\r\ncd\r", {"ab", "cd"}},
        {"ab\r\n", {"ab"}},
        {"\n\nab", {"ab"}},
        {"\xEF\xBB\xBF", {}},
        {"a\n\xEF\xBB\xBF", {"a"}},
    };
    for (const Case& c : cases) {
        const std::string buffer = std::string(c.content) + "|after";
        const std::string_view content(buffer.data(), std::strlen(c.content));
        std::vector<std::string> lines;
        ForEachCinLine(content, [&](std::string_view line) {
            EXPECT_GE(line.data(), content.data());
            EXPECT_LE(line.data() + line.size(), content.data() + content.size());
            lines.emplace_back(line);
        });
        EXPECT_EQ(lines, c.lines) << testing::PrintToString(c.content);
    }
}
