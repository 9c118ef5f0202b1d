#include "phrase_checks.h"

#include "status_texts.h"

std::wstring_view TrimSpaces(std::wstring_view text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

CheckedPhrase CheckNewPhrase(std::wstring_view code, std::wstring_view phrase,
                             const KeyDefinedTest& keyDefined, const Utf8Encoder& toUtf8) {
    CheckedPhrase result;
    phrase = TrimSpaces(phrase);
    if (code.empty() || code.size() > MaxCodeUnits || phrase.empty() ||
        phrase.find_first_of(L"\r\n\t") != std::wstring_view::npos) {
        result.check = PhraseCheck::BadShape;
        return result;
    }

    std::string bytes;
    for (wchar_t unit : code) {
        if (unit <= 0x20 || unit > 0x7E) {
            result.check = PhraseCheck::NotAsciiKey;
            return result;
        }
        if (unit >= L'A' && unit <= L'Z') unit = static_cast<wchar_t>(unit + (L'a' - L'A'));
        const char key = static_cast<char>(unit);
        if (key != '?' && key != '*' && !keyDefined(key)) {
            result.check = PhraseCheck::UndefinedKey;
            return result;
        }
        bytes.push_back(key);
    }

    std::string phrase8 = toUtf8(phrase);
    if (phrase8.empty()) {
        result.check = PhraseCheck::InvalidUnicode;
        return result;
    }
    result.check = PhraseCheck::Accepted;
    result.code = std::move(bytes);
    result.phrase = std::move(phrase8);
    return result;
}

const wchar_t* CheckStatusText(PhraseCheck check) {
    switch (check) {
        case PhraseCheck::BadShape:
            return StatusTexts::BadShape;
        case PhraseCheck::NotAsciiKey:
            return StatusTexts::NotAsciiKey;
        case PhraseCheck::UndefinedKey:
            return StatusTexts::UndefinedKey;
        case PhraseCheck::InvalidUnicode:
            return StatusTexts::InvalidUnicode;
        case PhraseCheck::Accepted:
            break;
    }
    return L"";
}
