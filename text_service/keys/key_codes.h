#pragma once
// The virtual-key codes and key-message fields the key decisions read, as plain
// integers, so the decisions build and are fuzzed without the platform's headers. The
// values are the platform's own.

#include <cstdint>

using VirtualKey = std::uint64_t;      // a key event's wParam
using KeyMessageParam = std::int64_t;  // its lParam: scan code, extended and repeat bits

namespace Vk {
inline constexpr VirtualKey Back = 0x08;
inline constexpr VirtualKey Clear = 0x0C;
inline constexpr VirtualKey Return = 0x0D;
inline constexpr VirtualKey Shift = 0x10;
inline constexpr VirtualKey Control = 0x11;
inline constexpr VirtualKey Menu = 0x12;
inline constexpr VirtualKey Capital = 0x14;
inline constexpr VirtualKey Escape = 0x1B;
inline constexpr VirtualKey Space = 0x20;
inline constexpr VirtualKey Prior = 0x21;
inline constexpr VirtualKey Next = 0x22;
inline constexpr VirtualKey End = 0x23;
inline constexpr VirtualKey Home = 0x24;
inline constexpr VirtualKey Left = 0x25;
inline constexpr VirtualKey Up = 0x26;
inline constexpr VirtualKey Right = 0x27;
inline constexpr VirtualKey Down = 0x28;
inline constexpr VirtualKey Insert = 0x2D;
inline constexpr VirtualKey Delete = 0x2E;
inline constexpr VirtualKey LeftWindows = 0x5B;
inline constexpr VirtualKey RightWindows = 0x5C;
inline constexpr VirtualKey Numpad0 = 0x60;
inline constexpr VirtualKey Divide = 0x6F;  // the last key of the numeric keypad block
inline constexpr VirtualKey F9 = 0x78;
inline constexpr VirtualKey F10 = 0x79;
inline constexpr VirtualKey LeftShift = 0xA0;
inline constexpr VirtualKey RightShift = 0xA1;
}  // namespace Vk
