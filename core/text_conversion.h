#pragma once
// UTF-8 <-> UTF-16 at the platform boundary, and the two output conversions.

#include <cstddef>
#include <string>
#include <string_view>

// One invalid byte anywhere gives an empty result.
std::wstring Utf8ToWide(const char* data, std::size_t length);
inline std::wstring Utf8ToWide(std::string_view text) {
    return Utf8ToWide(text.data(), text.size());
}

// Strict: an unpaired surrogate anywhere gives an empty result.
std::string WideToUtf8(std::wstring_view text);

// Traditional to Simplified Chinese when `convert` is non-zero; the input back on any failure.
std::wstring ToSimplified(const std::wstring& text, int convert);

// Space to U+3000, '!'..'~' to U+FF01..U+FF5E, everything else unchanged.
wchar_t ToFullwidth(wchar_t unit);
