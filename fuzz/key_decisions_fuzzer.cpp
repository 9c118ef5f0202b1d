// Drives the key decisions (classification over the keyboard seam, and the candidate
// list's paging) with fuzzed key states and checks what must always hold.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "cin_table.h"
#include "keys/candidate_paging.h"
#include "keys/key_classification.h"

namespace {

// Key names for letters, a digit and a wildcard; selection keys that overlap them.
constexpr char TableText[] =
    "%selkey 1234567890ab\n"
    "%endkey k;\n"
    "%keyname begin\n"
    "a A\nb B\nk K\nm M\no O\n1 One\n? Q\n; S\n"
    "%keyname end\n"
    "%chardef begin\n"
    "a 1\nab 2\n"
    "%chardef end\n";

const CinTable& FixedTable() {
    static const CinTable table = [] {
        const auto path = std::filesystem::temp_directory_path() /
                          ("moik-key-fuzz-" + std::to_string(getpid()) + ".cin");
        std::ofstream(path, std::ios::binary) << TableText;
        CinTable loaded;
        if (!loaded.Load(path)) std::abort();
        std::filesystem::remove(path);
        return loaded;
    }();
    return table;
}

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    std::uint8_t Byte() { return at < size ? data[at++] : 0; }
    std::uint64_t Wide() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value = value << 8 | Byte();
        return value;
    }
    bool Bit() { return (Byte() & 1) != 0; }
    bool Empty() const { return at >= size; }

  private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

// A keyboard whose every answer comes from the fuzzer's bytes.
class FuzzKeyboard final : public KeyboardState {
  public:
    std::uint8_t down[256] = {};
    bool caps = false;
    int unitCount = 1;
    wchar_t units[4] = {};

    bool IsDown(VirtualKey vk) const noexcept override { return down[vk & 0xFF] != 0; }
    bool IsToggled(VirtualKey vk) const noexcept override { return vk == Vk::Capital && caps; }
    int Translate(VirtualKey, std::uint32_t, wchar_t* buffer,
                  int capacity) const noexcept override {
        for (int i = 0; i < capacity && i < 4 && i < unitCount; ++i) buffer[i] = units[i];
        return unitCount;
    }
};

void Check(bool holds) {
    if (!holds) std::abort();
}

bool Printable(char ch) { return ch >= '!' && ch <= '~'; }

void CheckKey(Input& in, const CinTable& table) {
    FuzzKeyboard keys;
    for (int i = 0; i < 4; ++i) {
        static constexpr VirtualKey Modifiers[] = {Vk::Shift,       Vk::Control,      Vk::Menu,
                                                   Vk::LeftWindows, Vk::RightWindows, Vk::Capital};
        keys.down[Modifiers[in.Byte() % 6]] = in.Bit() ? 0x80 : 0;
    }
    keys.caps = in.Bit();
    keys.unitCount = static_cast<int>(in.Byte() % 7) - 2;  // -2..4: dead keys to several units
    for (wchar_t& unit : keys.units)
        unit = static_cast<wchar_t>(in.Byte() | (in.Bit() ? 0x100 : 0));

    const VirtualKey vk = in.Bit() ? in.Wide() : in.Byte();
    const KeyMessageParam lParam = static_cast<KeyMessageParam>(in.Wide());
    const bool modifier = AnyModifierDown(keys);

    const char ascii = KeyToAsciiCharFor(vk, lParam, keys);
    Check(ascii == 0 || (Printable(ascii) && !(ascii >= 'A' && ascii <= 'Z')));
    Check(!modifier || ascii == 0);
    const char printable = PrintableCharFor(vk, lParam, keys);
    Check(printable == 0 || Printable(printable));

    const char shifted = ShiftLetterFor(vk, keys);
    Check(shifted == 0 || ((shifted | 0x20) == static_cast<char>((vk | 0x20) & 0xFF)));
    Check(!modifier || shifted == 0);

    const bool launch = IsLaunchHotKeyFor(vk, keys);
    const bool simplified = IsSimplifiedHotKeyFor(vk, keys);
    const bool fullwidthKey = IsFullwidthHotKeyFor(vk, keys);
    Check(static_cast<int>(launch) + static_cast<int>(simplified) +
              static_cast<int>(fullwidthKey) <=
          1);

    const std::string selection = SelectionKeysFor(in.Bit(), table);
    CompositionState state{in.Bit(), in.Bit(), in.Bit(), in.Bit(), selection, &table};
    const bool forComposition = IsKeyForCompositionIn(state, vk, lParam, keys);
    Check(!modifier || !forComposition);
    Check(state.active || !forComposition);

    const char fullwidth = FullwidthCharFor(in.Bit(), in.Bit(), state, vk, lParam, keys);
    Check(fullwidth == 0 || fullwidth == ' ' || Printable(fullwidth));
    Check(!modifier || fullwidth == 0);

    IsPassThroughKey(vk, lParam);
    IsToggleKeyFor(in.Bit() ? ToggleKeyChoice::CapsLock : ToggleKeyChoice::Shift, vk);
}

void CheckPaging(Input& in) {
    const std::size_t count = in.Bit() ? in.Wide() : in.Byte();
    CandidateCursor cursor{in.Bit() ? in.Wide() : in.Byte() % 40, in.Bit() ? in.Wide() : in.Byte()};
    const std::size_t pages = CandidatePageCount(count);
    const std::size_t rows = RowsOnPage(count, cursor.page);
    Check(rows <= CandidatePageSize);

    const CandidateCursor moved = MoveHighlight(cursor, count, in.Bit());
    if (rows == 0) {
        Check(moved.page == 0 && moved.row == 0);
    } else {
        Check(moved.page == cursor.page && moved.row < rows);
    }
    if (count > 0) {
        const CandidateCursor turned = TurnPage(cursor, count, in.Bit());
        Check(turned.page < pages && turned.row == 0);
    }
    const std::size_t index = ChosenIndex(cursor, "1234567890ab", static_cast<char>(in.Byte()));
    Check(index == static_cast<std::size_t>(-1) || index / CandidatePageSize >= cursor.page);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CinTable& table = FixedTable();
    Input in(data, size);
    while (!in.Empty()) {
        if (in.Bit()) {
            CheckKey(in, table);
        } else {
            CheckPaging(in);
        }
    }
    return 0;
}
