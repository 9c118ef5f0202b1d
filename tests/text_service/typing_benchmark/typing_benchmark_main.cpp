// Time per key of typing through the key sink and the fake TSF (test key, key, edit
// session, composer, composition update) on a table shaped like a large real one.
// Google Benchmark is not built for MinGW here, so this program times each key itself
// and reports the median and the 99th percentile:
//   typing_benchmark.exe [iterations-scale] [--system-keyboard] [--toolbar]
// Build it optimised (see the README) and run it under Wine; CPU-bound code runs at
// native speed there.

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "com_object.h"
#include "fake_tsf/fake_host.h"
#include "fake_tsf/test_environment.h"
#include "keys/keyboard_state.h"
#include "text_service.h"

namespace {

// The keys of a US layout with no platform call behind them, so the time measured is the
// service's and the fake's own. Shift comes from the host's keyboard.
class QuietKeyboard final : public KeyboardState {
  public:
    bool shift = false;
    bool IsDown(VirtualKey vk) const noexcept override { return vk == VK_SHIFT && shift; }
    bool IsToggled(VirtualKey) const noexcept override { return false; }
    int Translate(VirtualKey vk, std::uint32_t, wchar_t* buffer,
                  int capacity) const noexcept override {
        if (capacity < 1) return 0;
        wchar_t c = 0;
        if (vk >= 'A' && vk <= 'Z') c = static_cast<wchar_t>(shift ? vk : vk + 32);
        if (vk >= '0' && vk <= '9') c = shift && vk == '8' ? L'*' : static_cast<wchar_t>(vk);
        if (vk == VK_OEM_COMMA) c = L',';
        if (vk == VK_OEM_PERIOD) c = L'.';
        if (vk == VK_OEM_2) c = L'/';
        if (vk == VK_OEM_1) c = L';';
        if (c == 0) return 0;
        buffer[0] = c;
        return 1;
    }
};

constexpr char Keys[] = "abcdefghijklmnopqrstuvwxyz,./;";
constexpr std::size_t KeyCount = 30;

void AppendHanzi(std::string& out, std::mt19937& random) {
    const auto cp = static_cast<std::uint32_t>(0x4E00 + random() % 0x5000);
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

// About 206,000 codes of 1 to 5 keys over 30 keys and 290,000 entries (short codes with
// dozens of values), listed in character order as real tables are, not by code.
std::string GenerateTable() {
    std::mt19937 random(20261210);
    std::set<std::string> codes;
    const auto code = [&](std::size_t length, char first) {
        std::string text(1, first != 0 ? first : Keys[random() % KeyCount]);
        for (std::size_t i = 1; i < length; ++i) text += Keys[random() % KeyCount];
        return text;
    };
    for (std::size_t i = 0; i < KeyCount; ++i) codes.insert(std::string(1, Keys[i]));
    while (codes.size() < 900) codes.insert(code(2, 0));
    while (codes.size() < 20000) codes.insert(code(3, 0));
    while (codes.size() < 90000) codes.insert(code(4, 0));
    while (codes.size() < 206000) codes.insert(code(5, 0));

    std::vector<std::string> lines;
    for (const std::string& c : codes) {
        const std::size_t count = c.size() <= 2 ? 20 + random() % 40 : (random() % 10 < 3 ? 2 : 1);
        for (std::size_t v = 0; v < count; ++v) {
            std::string line = c + ' ';
            const std::size_t chars = random() % 10 < 6 ? 1 : 2 + random() % 3;
            for (std::size_t k = 0; k < chars; ++k) AppendHanzi(line, random);
            lines.push_back(std::move(line));
        }
    }
    std::shuffle(lines.begin(), lines.end(), random);

    std::string text = "%gen_inp\n%ename Bench\n%cname 測試\n%selkey 1234567890\n%keyname begin\n";
    for (std::size_t i = 0; i < KeyCount; ++i) {
        text += Keys[i];
        text += ' ';
        AppendHanzi(text, random);
        text += '\n';
    }
    text += "%keyname end\n%chardef begin\n";
    for (const std::string& line : lines) text += line + '\n';
    text += "%chardef end\n";
    return text;
}

class Timer {
  public:
    Timer() { QueryPerformanceFrequency(&frequency); }
    double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) const {
        return static_cast<double>(to.QuadPart - from.QuadPart) * 1e6 /
               static_cast<double>(frequency.QuadPart);
    }

  private:
    LARGE_INTEGER frequency{};
};

struct Samples {
    const char* name;
    double goal;  // microseconds
    std::vector<double> values;
};

void Report(Samples& samples) {
    std::sort(samples.values.begin(), samples.values.end());
    const auto at = [&](double q) {
        return samples
            .values[static_cast<std::size_t>(q * static_cast<double>(samples.values.size() - 1))];
    };
    std::printf("%-46s n=%6zu  median %9.2f us  p99 %9.2f us  max %9.2f us  goal < %.0f us  %s\n",
                samples.name, samples.values.size(), at(0.5), at(0.99), samples.values.back(),
                samples.goal, at(0.5) < samples.goal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    std::vector<std::string> options(argv + 1, argv + argc);
    const auto has = [&](const char* option) {
        return std::find(options.begin(), options.end(), option) != options.end();
    };
    const bool systemKeyboard = has("--system-keyboard");
    const bool toolbar = has("--toolbar");
    fake_tsf::ComApartment apartment;
    fake_tsf::ClearSettings();
    // The toolbar follows every key; under Wine each move is a round trip to the X
    // server, which would hide the key path's own time.
    fake_tsf::StoreSetting(SettingNames::PersistentToolbar, toolbar ? 1 : 0);
    std::printf("toolbar: %s\n", toolbar ? "shown, following the keys" : "off");

    wchar_t tempFolder[MAX_PATH];
    GetTempPathW(MAX_PATH, tempFolder);
    const std::filesystem::path table =
        std::filesystem::path(tempFolder) / L"moik_typing_bench.cin";
    {
        const std::string text = GenerateTable();
        std::ofstream(table, std::ios::binary | std::ios::trunc) << text;
        std::printf("table: %.2f MB\n", static_cast<double>(text.size()) / (1024.0 * 1024.0));
    }
    fake_tsf::UseTable(table);

    fake_tsf::FakeHost host;
    auto document = host.NewDocument();
    TextService* service = NewComObject<TextService>();
    if (service == nullptr || FAILED(service->Activate(host.ThreadMgr(), 1))) {
        std::printf("activation failed\n");
        return 1;
    }
    QuietKeyboard quiet;
    if (!systemKeyboard) service->keyboard = &quiet;
    std::printf("key state: %s\n", systemKeyboard ? "the system's (GetKeyState, ToUnicodeEx)"
                                                  : "a keyboard of our own (no platform call)");
    host.Focus(document.Get());
    host.ServiceFocus(true);  // as the application's window gets the focus

    // Codes of each kind, found in the loaded table.
    std::string single;
    std::string paged;
    std::mt19937 random(5);
    while (single.empty() || paged.empty()) {
        std::string c;
        const std::size_t length = paged.empty() ? 2 : 5;
        for (std::size_t i = 0; i < length; ++i) c += Keys[random() % 26];
        const std::size_t matches = service->table.Lookup(c).size();
        if (length == 5 && matches == 1) single = c;
        if (length == 2 && matches > 20) paged = c;
    }
    const std::string wildcard = "q*";
    std::printf("codes: one match '%s', paged '%s' (%zu candidates), wildcard '%s' (%zu matches)\n",
                single.c_str(), paged.c_str(), service->table.Lookup(paged).size(),
                wildcard.c_str(), service->table.Lookup(wildcard).size());

    Timer timer;
    // One key message, down and up, as Windows hands it to TSF: test, then the key.
    ITfKeystrokeMgr* keystrokes = host.threadMgr.Get();
    const auto timedKey = [&](WPARAM vk, Samples* into) {
        const LPARAM down = fake_tsf::KeyDownLParam(vk);
        const LPARAM up = fake_tsf::KeyUpLParam(vk);
        LARGE_INTEGER from;
        LARGE_INTEGER to;
        QueryPerformanceCounter(&from);
        fake_tsf::DeliverKeyDown(keystrokes, vk, down);
        fake_tsf::DeliverKeyUp(keystrokes, vk, up);
        QueryPerformanceCounter(&to);
        if (into != nullptr) into->values.push_back(timer.Microseconds(from, to));
    };
    const auto typeCode = [&](const std::string& code, Samples* into) {
        for (const char c : code) {
            if (c == '*') {
                quiet.shift = true;
                if (systemKeyboard) host.keyboard.Down(VK_SHIFT);
                timedKey('8', into);
                if (systemKeyboard) host.keyboard.Up(VK_SHIFT);
                quiet.shift = false;
            } else {
                timedKey(fake_tsf::VirtualKeyForChar(c), into);
            }
        }
    };

    Samples plain{"letter key (reading shown)", 20, {}};
    Samples commitSingle{"Space committing a single match", 20, {}};
    Samples phraseCheck{"  of which the user-phrase file check", 20, {}};
    Samples openPage{"Space opening a 10-row page", 100, {}};
    Samples nextPage{"Space paging on", 100, {}};
    Samples choose{"selection key committing", 100, {}};
    Samples wildcardOpen{"Space on the wildcard code", 2000, {}};
    Samples wildcardLookup{"  of which the table lookup alone", 2000, {}};
    Samples wildcardPage{"Space paging on the wildcard list", 100, {}};

    // Warm up once, then measure.
    for (int round = 0; round < 2; ++round) {
        const bool measure = round == 1;
        const int iterations = measure ? 2000 * scale : 50;
        for (int i = 0; i < iterations; ++i) {
            typeCode(single, measure ? &plain : nullptr);
            timedKey(VK_SPACE, measure ? &commitSingle : nullptr);
            {
                LARGE_INTEGER from;
                LARGE_INTEGER to;
                QueryPerformanceCounter(&from);
                service->table.ReloadUserPhrasesIfChanged();
                QueryPerformanceCounter(&to);
                if (measure) phraseCheck.values.push_back(timer.Microseconds(from, to));
            }
            typeCode(paged, measure ? &plain : nullptr);
            timedKey(VK_SPACE, measure ? &openPage : nullptr);
            timedKey(VK_SPACE, measure ? &nextPage : nullptr);
            timedKey('3', measure ? &choose : nullptr);
            if (i % 10 == 0) {
                typeCode(wildcard, nullptr);
                timedKey(VK_SPACE, measure ? &wildcardOpen : nullptr);
                timedKey(VK_SPACE, measure ? &wildcardPage : nullptr);
                timedKey(VK_ESCAPE, nullptr);
                LARGE_INTEGER from;
                LARGE_INTEGER to;
                QueryPerformanceCounter(&from);
                const std::size_t found = service->table.Lookup(wildcard).size();
                QueryPerformanceCounter(&to);
                if (measure && found > 0)
                    wildcardLookup.values.push_back(timer.Microseconds(from, to));
            }
            if (document->Text().size() > 2000) document->SetDocument(L"", 0);
        }
    }
    for (Samples* samples : {&plain, &commitSingle, &phraseCheck, &openPage, &nextPage, &choose,
                             &wildcardOpen, &wildcardLookup, &wildcardPage}) {
        Report(*samples);
    }

    service->Deactivate();
    static_cast<ITfTextInputProcessorEx*>(service)->Release();
    std::filesystem::remove(table);
    fake_tsf::ClearSettings();
    return 0;
}
