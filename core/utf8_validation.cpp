#include <cstddef>
#include <cstdint>

#include "cin_table.h"

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t continuation;
        std::uint32_t value;
        if (lead >= 0xC2 && lead <= 0xDF) {
            continuation = 1;
            value = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            continuation = 2;
            value = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            continuation = 3;
            value = lead & 0x07u;
        } else {
            return false;
        }
        if (i + continuation >= text.size()) return false;
        for (std::size_t k = 1; k <= continuation; ++k) {
            auto byte = static_cast<unsigned char>(text[i + k]);
            if ((byte & 0xC0u) != 0x80u) return false;
            value = (value << 6) | (byte & 0x3Fu);
        }
        if ((continuation == 2 && value < 0x800) || (continuation == 3 && value < 0x10000) ||
            (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF) {
            return false;
        }
        i += continuation + 1;
    }
    return true;
}
