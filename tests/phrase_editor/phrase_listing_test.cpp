// What the list shows for the file's bytes: lines cut at LF only.
#include "phrase_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows List(std::string_view content) {
    Rows rows;
    for (const PhraseRow& row : ListPhraseRows(content)) rows.emplace_back(row.code, row.phrase);
    return rows;
}

TEST(PhraseListing, RowsFollowTheFileLineByLine) {
    struct Case {
        const char* name;
        std::string content;
        Rows expected;
    };
    const Case cases[] = {
        {"empty file", "", {}},
        {"CR LF lines", "a x\r\nbc y\r\n", {{"a", "x"}, {"bc", "y"}}},
        {"LF lines and an open last line", "a x\nb y", {{"a", "x"}, {"b", "y"}}},
        {"blank lines skipped", "\r\n\na x\r\n\r\n", {{"a", "x"}}},
        {"blank run, inner and trailing blanks kept", "a \t x  y \t\r\n", {{"a", "x  y \t"}}},
        {"tab as the separator", "a\tx\n", {{"a", "x"}}},
        {"code without phrase skipped", "a\r\nb   \r\nc z\r\n", {{"c", "z"}}},
        {"one CR dropped per line", "a x\r\r\n", {{"a", "x\r"}}},
        {"byte-order mark on any line",
         "\xEF\xBB\xBF"
         "a x\n\xEF\xBB\xBF"
         "b y\n",
         {{"a", "x"}, {"b", "y"}}},
        {"only one mark per line",
         "\xEF\xBB\xBF\xEF\xBB\xBF"
         "a x\n",
         {{"\xEF\xBB\xBF"
           "a",
           "x"}}},
        {"duplicates listed twice", "a x\r\na x\r\n", {{"a", "x"}, {"a", "x"}}},
        {"CR-only line ends make one row", "a x\rb y\rc z\r", {{"a", "x\rb y\rc z"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(List(c.content), c.expected);
    }
}

}  // namespace
