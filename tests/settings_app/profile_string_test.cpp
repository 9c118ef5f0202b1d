#include "profile_string.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct GuidRecord {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

std::wstring Text(const ProfileString& s) { return std::wstring(s.data()); }

TEST(MakeProfileString, LanguageThenBothIdentifiersInUpperCaseRegistryForm) {
    constexpr GuidRecord first = {
        0x0A0B0C0D, 0x00EF, 0xABCD, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};
    constexpr GuidRecord second = {0xFFFFFFFF, 0x0000, 0x000F, {0, 0, 0, 0, 0, 0, 0, 0x0A}};
    constexpr ProfileString made = MakeProfileString(0x0404, first, second);  // a constant

    EXPECT_EQ(
        Text(made),
        L"0x0404:{0A0B0C0D-00EF-ABCD-0123-456789ABCDEF}{FFFFFFFF-0000-000F-0000-00000000000A}");
    EXPECT_EQ(Text(made).size(), ProfileStringLength);
    EXPECT_EQ(made[ProfileStringLength], L'\0');
}

}  // namespace
