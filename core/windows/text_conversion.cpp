#include "text_conversion.h"

#include <windows.h>

#include <climits>

namespace {

// The platform's lengths are ints; a longer text is treated like an invalid one.
bool FitsInt(std::size_t length) { return length <= static_cast<std::size_t>(INT_MAX); }

}  // namespace

std::wstring Utf8ToWide(const char* data, std::size_t length) {
    if (length == 0 || !FitsInt(length)) return {};
    const int inputLength = static_cast<int>(length);
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, inputLength, nullptr, 0);
    if (units <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, inputLength, wide.data(), units) !=
        units) {
        return {};
    }
    return wide;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty() || !FitsInt(text.size())) return {};
    const int inputLength = static_cast<int>(text.size());
    int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inputLength,
                                    nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), inputLength, utf8.data(),
                            bytes, nullptr, nullptr) != bytes) {
        return {};
    }
    return utf8;
}

std::wstring ToSimplified(const std::wstring& text, int convert) {
    if (text.empty() || convert == 0 || !FitsInt(text.size())) return text;
    const int inputLength = static_cast<int>(text.size());
    int units = LCMapStringEx(L"zh-CN", LCMAP_SIMPLIFIED_CHINESE, text.c_str(), inputLength,
                              nullptr, 0, nullptr, nullptr, 0);
    if (units <= 0) return text;
    std::wstring mapped(static_cast<std::size_t>(units), L'\0');
    if (LCMapStringEx(L"zh-CN", LCMAP_SIMPLIFIED_CHINESE, text.c_str(), inputLength, mapped.data(),
                      units, nullptr, nullptr, 0) != units) {
        return text;
    }
    return mapped;
}
