#include "value_form.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace {

// What a lookup reads back: the value in place, or its offset and the length kept (0 when
// the lookup must find the line end).
struct Read {
    std::string inPlace;
    std::uint64_t offset = 0;
    std::size_t length = 0;
    bool operator==(const Read&) const = default;
    friend void PrintTo(const Read& read, std::ostream* out) {
        *out << testing::PrintToString(read.inPlace) << " offset " << read.offset << " length "
             << read.length;
    }
};

Read ReadBack(const ValueForm& form, const std::uint32_t& stored) {
    if (form.IsShort(stored)) return {std::string(ValueForm::ShortValue(stored)), 0, 0};
    return {"", form.Offset(stored), form.Length(stored)};
}

}  // namespace

// Every text size keeps offsets and lengths apart from the values kept in place, up to the
// largest table a load accepts: past 2 GiB an offset reaches the high bit that marks a
// value in place, so there every value is its offset alone.
TEST(ValueForm, OffsetsLengthsAndValuesInPlaceReadBackForEveryTextSize) {
    using namespace std::string_literals;
    const std::uint64_t sizes[] = {100,        4096,         3'805'466,        20'223'599,
                                   1ULL << 30, (1ULL << 31), (1ULL << 31) + 1, 0xFFFFFFFEULL};
    for (const std::uint64_t size : sizes) {
        const ValueForm form(static_cast<std::size_t>(size));
        const bool inPlace = size <= (1ULL << 31);
        struct Case {
            std::string value;
            bool fitsInPlace;
        };
        const Case cases[] = {
            {"x", true},
            {"\xE5\x8F\xA3", true},
            {"\xF0\xA0\x80\x84", true},
            {"\xF0\xA0\x80\x83", false},  // its last byte could be a shorter value's mark
            {"ab\x80", true},
            {"\xFF\xFF\xFF\xFF", true},
            {"abcd", false},  // four bytes whose last is not above the mark
            {"a\0b"s, false},
            {"\xE5\x8F\xA3\xE5\x8F\xA3", false},
            {std::string(63, 'p'), false},
            {std::string(600, 'p'), false},
        };
        for (const Case& c : cases) {
            for (const std::uint64_t offset : {std::uint64_t{0}, size - c.value.size() - 1}) {
                if (c.value.size() + 1 > size) continue;
                const auto at = static_cast<std::uint32_t>(offset);
                const std::uint32_t stored = form.Of(c.value, at);
                const Read read = ReadBack(form, stored);
                const auto where = testing::Message()
                                   << size << " " << testing::PrintToString(c.value) << " at "
                                   << offset;
                if (inPlace && c.fitsInPlace) {
                    EXPECT_EQ(read, (Read{c.value, 0, 0})) << where;
                } else {
                    EXPECT_EQ(read.inPlace, "") << where;
                    EXPECT_EQ(read.offset, offset) << where;
                    // Kept where it fits above the offset, else left to the line end: always
                    // for the values of tables up to 20 MB, never past 2 GiB.
                    EXPECT_TRUE(read.length == 0 || read.length == c.value.size()) << where;
                    if (size <= 20'223'599 && c.value.size() <= 63) {
                        EXPECT_EQ(read.length, c.value.size()) << where;
                    }
                    if (!inPlace) {
                        EXPECT_EQ(read.length, 0u) << where;
                    }
                }
                // The parser's form, read with a few bytes to spare after the value.
                const std::string padded = c.value + "\n\n\n\n";
                EXPECT_EQ(form.OfUsual(padded.data(), c.value.size(), at), stored) << where;
            }
        }
    }
}
