// The checks on a new code and phrase, in the order that decides which message shows.
#include "phrase_checks.h"

#include <gtest/gtest.h>

#include <string>

#include "status_texts.h"

namespace {

// The sample table's keys: the letters and ';'.
bool SampleKey(char key) { return (key >= 'a' && key <= 'z') || key == ';'; }
bool NoKeys(char) { return false; }

// Strict UTF-16 (or UTF-32 where wchar_t is wider) to UTF-8; empty on a lone surrogate.
std::string TestUtf8(std::wstring_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto cp = static_cast<std::uint32_t>(text[i]);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() &&
            static_cast<std::uint32_t>(text[i + 1]) >= 0xDC00 &&
            static_cast<std::uint32_t>(text[i + 1]) <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint32_t>(text[++i]) - 0xDC00);
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            return {};
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

struct CheckCase {
    const char* name;
    std::wstring code;
    std::wstring phrase;
    PhraseCheck expected;
    std::string storedCode = {};
    std::string storedPhrase = {};
};

TEST(PhraseChecks, EachInputGetsTheFirstFailingCheckOrIsStoredAsTheFileWantsIt) {
    const CheckCase cases[] = {
        {"plain", L"ab", L"山石", PhraseCheck::Accepted, "ab", "\xE5\xB1\xB1\xE7\x9F\xB3"},
        {"upper case folds", L"AbZ", L"x", PhraseCheck::Accepted, "abz", "x"},
        {"six keys", L"abcdef", L"x", PhraseCheck::Accepted, "abcdef", "x"},
        {"wildcards need no key name", L"?*", L"x", PhraseCheck::Accepted, "?*", "x"},
        {"end key", L"a;", L"x", PhraseCheck::Accepted, "a;", "x"},
        {"phrase trimmed of spaces", L"a", L"  山 石  ", PhraseCheck::Accepted, "a",
         "\xE5\xB1\xB1 \xE7\x9F\xB3"},
        {"ideographic space kept", L"a", L"\u3000x\u3000", PhraseCheck::Accepted, "a",
         "\xE3\x80\x80x\xE3\x80\x80"},
        {"pair of surrogates", L"a", L"\U00020000", PhraseCheck::Accepted, "a", "\xF0\xA0\x80\x80"},
        {"empty code", L"", L"x", PhraseCheck::BadShape},
        {"seven keys", L"abcdefg", L"x", PhraseCheck::BadShape},
        {"empty phrase", L"a", L"", PhraseCheck::BadShape},
        {"only spaces", L"a", L"   ", PhraseCheck::BadShape},
        {"tab in phrase", L"a", L"x\ty", PhraseCheck::BadShape},
        {"line feed in phrase", L"a", L"x\ny", PhraseCheck::BadShape},
        {"carriage return in phrase", L"a", L"x\r", PhraseCheck::BadShape},
        {"shape before keys", L"1", L"x\ty", PhraseCheck::BadShape},
        {"code is not trimmed", L" a", L"x", PhraseCheck::NotAsciiKey},
        {"space inside code", L"a b", L"x", PhraseCheck::NotAsciiKey},
        {"full-width letter", L"\uFF41", L"x", PhraseCheck::NotAsciiKey},
        {"control character", L"a\x01", L"x", PhraseCheck::NotAsciiKey},
        {"delete", L"a\x7F", L"x", PhraseCheck::NotAsciiKey},
        {"undefined key", L"a1", L"x", PhraseCheck::UndefinedKey},
        {"first offender decides: undefined", L"1\uFF41", L"x", PhraseCheck::UndefinedKey},
        {"first offender decides: not ascii", L"\uFF411", L"x", PhraseCheck::NotAsciiKey},
        {"keys before unicode", L"1", L"x\xD800", PhraseCheck::UndefinedKey},
        {"lone surrogate", L"a", L"x\xD800", PhraseCheck::InvalidUnicode},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CheckedPhrase result = CheckNewPhrase(c.code, c.phrase, SampleKey, TestUtf8);
        EXPECT_EQ(result.check, c.expected);
        EXPECT_EQ(result.code, c.storedCode);
        EXPECT_EQ(result.phrase, c.storedPhrase);
    }
}

TEST(PhraseChecks, WithoutAMainTableOnlyWildcardCodesPass) {
    EXPECT_EQ(CheckNewPhrase(L"*?*", L"x", NoKeys, TestUtf8).check, PhraseCheck::Accepted);
    EXPECT_EQ(CheckNewPhrase(L"a", L"x", NoKeys, TestUtf8).check, PhraseCheck::UndefinedKey);
}

TEST(PhraseChecks, EveryFailureHasItsOwnStatusText) {
    EXPECT_STREQ(CheckStatusText(PhraseCheck::BadShape), StatusTexts::BadShape);
    EXPECT_STREQ(CheckStatusText(PhraseCheck::NotAsciiKey), StatusTexts::NotAsciiKey);
    EXPECT_STREQ(CheckStatusText(PhraseCheck::UndefinedKey), StatusTexts::UndefinedKey);
    EXPECT_STREQ(CheckStatusText(PhraseCheck::InvalidUnicode), StatusTexts::InvalidUnicode);
}

}  // namespace
