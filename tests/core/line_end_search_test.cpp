#include "line_end_search.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

// Bytes near the line ends and the blanks, and bytes whose carries would spill into a
// neighbour in a careless word-at-a-time test.
std::string RandomBytes(std::mt19937& random, std::size_t size) {
    const char alphabet[] = {'\n',   '\r',   ' ',    '\t',   'a',    '\0',   '\x01', '\x0B',
                             '\x0C', '\x8A', '\x8D', '\x7F', '\x80', '\xFF', '\x09', '\x0E'};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = alphabet[pick(random)];
    return bytes;
}

template <bool WithCr>
std::uint64_t ExpectedBits(const std::string& bytes) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 64; ++i) {
        if (bytes[i] == '\n' || (WithCr && bytes[i] == '\r')) bits |= std::uint64_t{1} << i;
    }
    return bits;
}

}  // namespace

TEST(LineEndSearch, EveryWayAgreesWithAByteLoop) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        const std::string bytes = RandomBytes(random, 64 + static_cast<std::size_t>(round % 50));
        const auto lineFeeds =
            static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
        EXPECT_EQ(line_ends::CountLineFeedsPortable(bytes.data(), bytes.size()), lineFeeds);
        EXPECT_EQ(line_ends::CountLineFeeds(bytes.data(), bytes.size()), lineFeeds);
        EXPECT_EQ(line_ends::LineEndBitsPortable<false>(bytes.data()), ExpectedBits<false>(bytes));
        EXPECT_EQ(line_ends::LineEndBitsPortable<true>(bytes.data()), ExpectedBits<true>(bytes));
        EXPECT_EQ(line_ends::LineEndBits<false>(bytes.data()), ExpectedBits<false>(bytes));
        EXPECT_EQ(line_ends::LineEndBits<true>(bytes.data()), ExpectedBits<true>(bytes));
        if (HasFailure()) break;
    }
}

TEST(LineEndSearch, CountsPastTheBytesACounterOfOneWordHolds) {
    // 255 words fill one round of per-byte counters; a text of LF only checks the carry.
    for (const std::size_t size : {0, 7, 8, 2040, 2041, 4096, 10007}) {
        const std::string lineFeeds(size, '\n');
        EXPECT_EQ(line_ends::CountLineFeedsPortable(lineFeeds.data(), size), size);
        EXPECT_EQ(line_ends::CountLineFeeds(lineFeeds.data(), size), size);
    }
}
