#pragma once
// The checks a new code and phrase pass before they are appended to the user-phrase file.

#include <functional>
#include <string>
#include <string_view>

enum class PhraseCheck {
    Accepted,
    BadShape,        // empty or over-long code, empty phrase, phrase with CR, LF or TAB
    NotAsciiKey,     // a code unit that is a control character, a space or not ASCII
    UndefinedKey,    // a code key the main table does not name (other than '?' and '*')
    InvalidUnicode,  // the phrase does not convert to UTF-8
};

struct CheckedPhrase {
    PhraseCheck check = PhraseCheck::BadShape;
    std::string code;    // lower-cased bytes, set when accepted
    std::string phrase;  // UTF-8, set when accepted
};

// Whether the main table names the one-byte key.
using KeyDefinedTest = std::function<bool(char key)>;
// Strict UTF-16 to UTF-8; empty on failure.
using Utf8Encoder = std::function<std::string(std::wstring_view)>;

inline constexpr std::size_t MaxCodeUnits = 6;

// Drops leading and trailing U+0020 only; other blanks (U+3000, tabs) stay.
std::wstring_view TrimSpaces(std::wstring_view text);

// The checks in order; the first that fails decides. `phrase` is taken as typed and
// trimmed here; `code` is not trimmed.
CheckedPhrase CheckNewPhrase(std::wstring_view code, std::wstring_view phrase,
                             const KeyDefinedTest& keyDefined, const Utf8Encoder& toUtf8);

// The status text for a failed check.
const wchar_t* CheckStatusText(PhraseCheck check);
