// Drives a Composer over a small fixed table with fuzzed operation sequences and checks
// its invariants after every call.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "cin_table.h"
#include "composer.h"

namespace {

// Several-byte and unnamed keys, end keys that are a letter, a wildcard and punctuation,
// codes holding wildcards and end keys, and codes with one, two and many values.
constexpr char TableText[] =
    "%endkey c*;\n"
    "%keyname begin\n"
    "a A\nb \xE7\x9F\xB3\nc \xE5\xB7\x9D\xE5\xB7\x9D\nd D\n; ;\n\xE5 E\n"
    "%keyname end\n"
    "%chardef begin\n"
    "a 1\nab 2\nab 3\nabc 4\nac 5\nac 6\nb 7\nbb 8\nd 9\n* 10\n? 11\n?? 12\na* 13\n"
    "a; 14\n; 15\n; 16\ndddddd 17\ndddddd 18\n\xE5 19\n"
    "x 1\nx 2\nx 3\nx 4\nx 5\nx 6\nx 7\nx 8\nx 9\nx 10\nx 11\nx 12\n"
    "%chardef end\n";

const CinTable& FixedTable() {
    static const CinTable table = [] {
        CinTable loaded;
        const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                           ("composer_fuzzer_" + std::to_string(getpid()) + ".cin");
        {
            std::ofstream out(file, std::ios::binary | std::ios::trunc);
            out << TableText;
        }
        const bool ok = loaded.Load(file);
        std::filesystem::remove(file);
        if (!ok) std::abort();
        return loaded;
    }();
    return table;
}

// Mostly keys the table knows (in both cases), sometimes any byte.
constexpr char InterestingKeys[] = "aAbBcCdD;?*\xE5x1 ";

char KeyFrom(std::uint8_t byte) {
    if (byte < 224) return InterestingKeys[byte % (sizeof(InterestingKeys) - 1)];
    return static_cast<char>(byte);
}

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

bool HasCapital(const std::string& text) {
    for (char c : text) {
        if (c >= 'A' && c <= 'Z') return true;
    }
    return false;
}

void CheckInvariants(const Composer& composer, const ComposeResult& result) {
    const std::string& reading = composer.Reading();
    const auto& candidates = composer.Candidates();
    Require(reading.size() <= Composer::MaxReadingKeys);
    Require(!HasCapital(reading));
    Require(candidates.empty() || candidates.size() >= 2);
    Require(candidates.empty() || !reading.empty());

    const auto action = static_cast<std::int32_t>(result.action);
    Require(action >= 0 && action <= 5);
    switch (result.action) {
        case ComposeAction::UpdateReading:
            Require(!reading.empty() && candidates.empty() &&
                    result.text == composer.ReadingText());
            break;
        case ComposeAction::ShowCandidates:
            Require(candidates.size() >= 2 && result.text.empty());
            break;
        case ComposeAction::Commit:
            Require(reading.empty() && candidates.empty() && !result.text.empty());
            break;
        case ComposeAction::EndComposition:
            Require(reading.empty() && candidates.empty() && result.text.empty());
            break;
        default:
            Require(result.text.empty());
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Composer composer(&FixedTable());
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    while (at < size) {
        const std::uint8_t op = next();
        ComposeResult result{ComposeAction::PassThrough, {}};
        switch (op % 6) {
            case 0:
            case 5:
                result = composer.AddKey(KeyFrom(next()));
                break;
            case 1:
                result = composer.Convert();
                break;
            case 2:
                result = composer.Select(next() % 16);
                break;
            case 3:
                result = composer.Backspace();
                break;
            default:
                result = composer.Reset();
                break;
        }
        CheckInvariants(composer, result);
    }
    return 0;
}
