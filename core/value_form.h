#pragma once
// How the table keeps each value in 32 bits. A short value (one character, in most tables)
// is kept as its bytes in the number's own bytes; any other as its offset in the table
// text, with its length above the offset when the bits left over hold it. Exact lookups
// and wildcard results then copy most values without reading the text, and the rest
// without searching for their line ends.
//
// A value of one to three bytes without a zero byte fills the first bytes, zero padded, and
// the last byte is ShortMark plus its length; one of four bytes without a zero byte whose
// last byte is above ShortMark + 3 (as a four-byte character's last byte mostly is) fills
// all four. A short value's length is then its last byte's distance from ShortMark, at
// most four.
// Offsets and lengths stay below ShortFlag, the high bit of the number's last byte in
// memory. Short values are used only where numbers are little-endian (the flag's byte comes
// last) and for texts of at most 2 GiB; in a larger text every value is its offset alone.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class ValueForm {
  public:
    static constexpr std::uint32_t ShortFlag = std::uint32_t{1} << 31;
    static constexpr unsigned char ShortMark = 0x80;
    static constexpr std::size_t ShortBytes = 4;

    // The form of a table that stores nothing.
    ValueForm() = default;
    explicit ValueForm(std::size_t textSize) {
        if (std::endian::native != std::endian::little || textSize > ShortFlag) return;
        shortFlag = ShortFlag;
        offsetBits = std::min(static_cast<unsigned>(std::bit_width(textSize)), 31u);
        offsetMask = offsetBits >= 31 ? ShortFlag - 1 : (std::uint32_t{1} << offsetBits) - 1;
        lengthShift = offsetBits >= 31 ? 0 : offsetBits;
        lengthMask = offsetBits >= 31 ? 0 : (std::uint32_t{1} << (31 - offsetBits)) - 1;
    }

    // The stored form of `value`, found at `offset` of the text.
    std::uint32_t Of(std::string_view value, std::uint32_t offset) const {
        const std::uint32_t inText = InText(offset, value.size());
        if (shortFlag == 0 || value.empty() || value.size() > ShortBytes) return inText;
        std::uint32_t stored = 0;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '\0') return inText;
            stored |= std::uint32_t{static_cast<unsigned char>(value[i])} << (8 * i);
        }
        if (value.size() < ShortBytes) return stored | Mark(value.size());
        return (stored >> 24) > ShortMark + 3u ? stored : inText;
    }
    // Of for a value of `length` bytes (at least one) at `value`, whose first four bytes may
    // be read whatever its length; for the parser's loop, without a branch on the length.
    std::uint32_t OfUsual(const char* value, std::size_t length, std::uint32_t offset) const {
        const std::uint32_t inText = InText(offset, length);
        std::uint32_t raw;
        std::memcpy(&raw, value, sizeof raw);  // the first byte in the low bits
        const std::uint32_t keep =
            length >= ShortBytes ? ~std::uint32_t{0} : (std::uint32_t{1} << (8 * length)) - 1;
        const std::uint32_t bytes = raw & keep;
        const std::uint32_t padded = bytes | ~keep;
        const bool zeroByte = ((padded - 0x01010101U) & ~padded & 0x80808080U) != 0;
        const bool fits =
            shortFlag != 0 && !zeroByte &&
            (length < ShortBytes || (length == ShortBytes && (bytes >> 24) > ShortMark + 3u));
        const std::uint32_t marked = length < ShortBytes ? bytes | Mark(length) : bytes;
        return fits ? marked : inText;
    }

    bool IsShort(std::uint32_t stored) const { return (stored & shortFlag) != 0; }
    bool HoldsShortValues() const { return shortFlag != 0; }
    static std::size_t ShortLength(std::uint32_t stored) {
        const std::uint32_t fromMark = (stored >> 24) - ShortMark;
        return fromMark < ShortBytes ? fromMark : ShortBytes;
    }
    // The bytes of a short value, read in place.
    static std::string_view ShortValue(const std::uint32_t& stored) {
        return std::string_view(reinterpret_cast<const char*>(&stored), ShortLength(stored));
    }
    // For a value that is not short: its offset, and its length (0 when not kept).
    std::uint32_t Offset(std::uint32_t stored) const { return stored & offsetMask; }
    std::size_t Length(std::uint32_t stored) const { return (stored >> lengthShift) & lengthMask; }
    // The bits an offset takes.
    unsigned OffsetBits() const { return offsetBits; }

    // The form of a value kept in the text: its offset, with its length when it fits.
    std::uint32_t InText(std::uint32_t offset, std::size_t length) const {
        return length <= lengthMask ? offset | static_cast<std::uint32_t>(length) << lengthShift
                                    : offset;
    }

  private:
    static std::uint32_t Mark(std::size_t length) {
        return (std::uint32_t{ShortMark} + static_cast<std::uint32_t>(length)) << 24;
    }
    std::uint32_t shortFlag = 0;
    unsigned offsetBits = 32;
    std::uint32_t offsetMask = ~std::uint32_t{0};
    unsigned lengthShift = 0;
    std::uint32_t lengthMask = 0;
};
