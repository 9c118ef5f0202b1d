#include <gtest/gtest.h>

#include "text_conversion.h"

namespace {

TEST(FullwidthRules, MapsPrintableAsciiAndSpaceOnly) {
    struct Case {
        unsigned input;
        unsigned expected;
    } cases[] = {
        {0x20, 0x3000},  // space: ideographic space
        {0x21, 0xFF01},  // '!' first of the range
        {'A', 0xFF21},    {'z', 0xFF5A},    {'0', 0xFF10},
        {0x7E, 0xFF5E},                                        // '~' last of the range
        {0x1F, 0x1F},     {0x7F, 0x7F},     {0xA0, 0xA0},      // around the range: unchanged
        {0x09, 0x09},     {0x3000, 0x3000}, {0xFF21, 0xFF21},  // already full width
        {0x9AD4, 0x9AD4},                                      // a Chinese character
    };
    for (const Case& c : cases) {
        EXPECT_EQ(static_cast<unsigned>(ToFullwidth(static_cast<wchar_t>(c.input))), c.expected)
            << std::hex << c.input;
    }
}

}  // namespace
