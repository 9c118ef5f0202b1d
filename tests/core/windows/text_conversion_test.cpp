#include "text_conversion.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Utf8ToWide, DecodesValidTextIncludingNulsAndSurrogatePairs) {
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("\xE9\xAB\x94\xE5\xAD\x97"), L"\u9AD4\u5B57");  // two 3-byte chars
    EXPECT_EQ(Utf8ToWide("\xF0\x9F\x98\x80"), std::wstring(L"\xD83D\xDE00"));
    const char withNul[] = {'a', '\0', 'b'};
    EXPECT_EQ(Utf8ToWide(withNul, 3), std::wstring(L"a\0b", 3));
    EXPECT_EQ(Utf8ToWide("abc", 2), L"ab");  // the length given, not the NUL, ends the text
}

TEST(Utf8ToWide, OneInvalidSequenceEmptiesTheWholeText) {
    const char* cases[] = {
        "ab\xC0\xAFxy",      // overlong '/'
        "ab\x80xy",          // lone continuation byte
        "ab\xE9\xAB",        // truncated at the end
        "ab\xED\xA0\x80xy",  // encoded surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xFF",
    };
    for (const char* text : cases) EXPECT_EQ(Utf8ToWide(text), L"") << text;
}

TEST(WideToUtf8, EncodesAndRefusesUnpairedSurrogates) {
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(WideToUtf8(L"a\u9AD4"), "a\xE9\xAB\x94");
    EXPECT_EQ(WideToUtf8(std::wstring(L"\xD83D\xDE00")), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\xD83Dz")), "");
    EXPECT_EQ(WideToUtf8(std::wstring(L"a\xDE00")), "");
}

TEST(ToSimplified, SwitchOffOrEmptyReturnsTheInput) {
    EXPECT_EQ(ToSimplified(L"\u9AD4abc", 0), L"\u9AD4abc");
    EXPECT_EQ(ToSimplified(L"", 1), L"");
}

TEST(ToSimplified, MapsTraditionalCharactersAndKeepsAscii) {
    const std::wstring converted = ToSimplified(L"\u9AD4 Ab9", 1);  // 體
    if (RunningUnderWine()) {
        // Wine returns the text unchanged: only the fallback rule can be seen here.
        EXPECT_EQ(converted, L"\u9AD4 Ab9");
        GTEST_SKIP() << "Wine does not map to Simplified Chinese; only the fallback was checked";
    }
    EXPECT_EQ(converted, L"\u4F53 Ab9");  // 体
}

}  // namespace
