#pragma once
// The text that names the text service's language profile to the system:
// "0x0404:" followed by the class identifier and the profile GUID in registry form.

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t ProfileStringLength = 83;
using ProfileString = std::array<wchar_t, ProfileStringLength + 1>;  // NUL-terminated

namespace profile_string_detail {

constexpr wchar_t HexDigit(unsigned value) {
    return static_cast<wchar_t>(value < 10 ? L'0' + value : L'A' + (value - 10));
}

constexpr void PutHex(ProfileString& out, std::size_t& at, std::uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out[at++] = HexDigit((value >> shift) & 0xFu);
    }
}

// The 38-character form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, upper case.
template <typename Guid>
constexpr void PutGuid(ProfileString& out, std::size_t& at, const Guid& guid) {
    out[at++] = L'{';
    PutHex(out, at, static_cast<std::uint32_t>(guid.Data1), 8);
    out[at++] = L'-';
    PutHex(out, at, guid.Data2, 4);
    out[at++] = L'-';
    PutHex(out, at, guid.Data3, 4);
    out[at++] = L'-';
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == 2) out[at++] = L'-';
        PutHex(out, at, guid.Data4[i], 2);
    }
    out[at++] = L'}';
}

}  // namespace profile_string_detail

// Works on any GUID-shaped record (Data1 32 bits, Data2 and Data3 16 bits, Data4 8 bytes),
// so the program can hold the result as a constant made from the shared identifiers.
template <typename Guid>
constexpr ProfileString MakeProfileString(std::uint16_t language, const Guid& textService,
                                          const Guid& profile) {
    ProfileString out{};
    std::size_t at = 0;
    out[at++] = L'0';
    out[at++] = L'x';
    profile_string_detail::PutHex(out, at, language, 4);
    out[at++] = L':';
    profile_string_detail::PutGuid(out, at, textService);
    profile_string_detail::PutGuid(out, at, profile);
    out[at] = L'\0';
    return out;
}
