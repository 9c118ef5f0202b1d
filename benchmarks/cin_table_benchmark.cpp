// The table over generated files of three sizes (in character order and sorted by code)
// and over any real table named with --table=LABEL=PATH: the read-and-split floor, the
// load, freeing the table, the heap a load holds, exact lookups of every code in random
// order, and wildcard lookups each beside the cost of copying its results alone. A
// counting allocator (counting_allocator.cpp) reports the heap bytes a load holds at its peak and
// keeps afterwards. benchmarks/goal_table.py turns a JSON run into the ratios the goals are stated
// in.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cin_table.h"
#include "counting_allocator.h"
#include "generated_table.h"

namespace {

std::string ReadWhole(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(file)), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

// The plain reading of a table's %chardef block, kept beside the loaded table: each code
// (lower-cased) with views of its values in the file text, sorted stably by code.
struct Reference {
    std::string text;
    std::string lowered;
    std::vector<std::pair<std::string_view, std::string_view>> entries;  // code, value
    std::vector<std::string_view> codes;                                 // distinct

    explicit Reference(const std::filesystem::path& file) : text(ReadWhole(file)) {
        lowered = ToLowerAscii(text);
        bool inChardef = false;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find_first_of("\r\n", at);
            if (end == std::string::npos) end = text.size();
            std::string_view line(text.data() + at, end - at);
            KeyValue entry = SplitKeyValue(line);
            if (entry.key == "%chardef") {
                inChardef = entry.value == "begin";
            } else if (inChardef && !entry.key.empty() && !entry.value.empty()) {
                std::string_view code(lowered.data() + (entry.key.data() - text.data()),
                                      entry.key.size());
                entries.emplace_back(code, entry.value);
            }
            at = end + 1;
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& entry : entries) {
            if (codes.empty() || codes.back() != entry.first) codes.push_back(entry.first);
        }
    }

    // A wildcard pattern's results (main table only) in the order lookups return them.
    std::vector<std::string_view> Matching(std::string_view pattern) const {
        std::vector<std::string_view> values;
        for (const auto& entry : entries) {
            if (WildcardMatch(pattern, entry.first)) values.push_back(entry.second);
        }
        return values;
    }
};

struct Table {
    std::string label;
    std::filesystem::path file;
    const bench::TableShape* shape = nullptr;  // generated when set
    std::size_t bytes = 0;
    std::unique_ptr<Reference> reference;
    std::unique_ptr<CinTable> loaded;

    // Generates the file on first use, so a filtered run makes only what it measures.
    void Prepare() {
        if (reference) return;
        if (shape != nullptr) bench::WriteFile(file, bench::GenerateTableText(*shape));
        bytes = static_cast<std::size_t>(std::filesystem::file_size(file));
        reference = std::make_unique<Reference>(file);
        loaded = std::make_unique<CinTable>();
        if (!loaded->Load(file)) std::abort();
    }
};

std::filesystem::path TempFolder() {
    static const std::filesystem::path folder = [] {
        auto dir = std::filesystem::temp_directory_path() /
                   ("moik-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir);
        return dir;
    }();
    return folder;
}

// The floor: read the whole file into memory and find every line end.
void ReadAndSplitFloor(benchmark::State& state, Table* table) {
    table->Prepare();
    for (auto _ : state) {
        std::string bytes = ReadWhole(table->file);
        std::size_t lines = 0;
        const char* at = bytes.data();
        const char* end = at + bytes.size();
        while (const char* lf = static_cast<const char*>(
                   std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) {
            ++lines;
            at = lf + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table->bytes));
}

void Load(benchmark::State& state, Table* table) {
    table->Prepare();
    for (auto _ : state) {
        CinTable loaded;
        if (!loaded.Load(table->file)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(loaded);
        state.PauseTiming();  // freeing is measured on its own
        { CinTable gone = std::move(loaded); }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * table->bytes));
}

void Destroy(benchmark::State& state, Table* table) {
    table->Prepare();
    for (auto _ : state) {
        state.PauseTiming();
        auto loaded = std::make_unique<CinTable>();
        if (!loaded->Load(table->file)) state.SkipWithError("load failed");
        state.ResumeTiming();
        loaded.reset();
    }
}

// Heap held at the peak of a load and kept by the loaded table, as multiples of the file.
void LoadMemory(benchmark::State& state, Table* table) {
    table->Prepare();
    for (auto _ : state) {
        std::size_t before = bench::LiveHeapBytes();
        bench::ResetPeakHeapBytes();
        std::optional<CinTable> loaded(std::in_place);
        if (!loaded->Load(table->file)) state.SkipWithError("load failed");
        std::size_t kept = bench::LiveHeapBytes() - before;
        std::size_t peak = bench::PeakHeapBytes() - before;
        loaded.reset();
        const double file = static_cast<double>(table->bytes);
        state.counters["file_MB"] = file / 1e6;
        state.counters["peak_x_file"] = static_cast<double>(peak) / file;
        state.counters["kept_x_file"] = static_cast<double>(kept) / file;
    }
}

// Every code of the table once per iteration, in random order; goal_table.py divides the
// time by the code count.
void ExactLookupEveryCode(benchmark::State& state, Table* table) {
    table->Prepare();
    std::vector<std::string> codes(table->reference->codes.begin(), table->reference->codes.end());
    std::shuffle(codes.begin(), codes.end(), std::mt19937(5));
    std::size_t values = 0;
    for (auto _ : state) {
        for (const std::string& code : codes) {
            auto results = table->loaded->Lookup(code);
            values += results.size();
            benchmark::DoNotOptimize(results);
        }
    }
    if (values == 0) state.SkipWithError("no values found");
    state.counters["codes"] = static_cast<double>(codes.size());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * codes.size()));
}

void WildcardLookup(benchmark::State& state, Table* table, std::string pattern) {
    table->Prepare();
    // The results must be the plain reading's, in its order. The check's copy is released
    // before the timed loop, so the loop allocates against the same heap as the copying
    // floor's (on this machine a fresh page costs microseconds, so holding tens of
    // megabytes more moved whole results between the heap and fresh pages).
    std::vector<std::string_view> expected = table->reference->Matching(pattern);
    {
        const std::vector<std::string> first = table->loaded->Lookup(pattern);
        if (!std::equal(first.begin(), first.end(), expected.begin(), expected.end())) {
            state.SkipWithError("results differ from the plain reading");
            return;
        }
    }
    for (auto _ : state) {
        auto results = table->loaded->Lookup(pattern);
        benchmark::DoNotOptimize(results);
    }
    state.counters["results"] = static_cast<double>(expected.size());
}

// The floor of a wildcard lookup: copying its results, already found and in order, out of
// the file text into owned strings.
void CopyResultsFloor(benchmark::State& state, Table* table, std::string pattern) {
    table->Prepare();
    std::vector<std::string_view> expected = table->reference->Matching(pattern);
    for (auto _ : state) {
        std::vector<std::string> results;
        results.reserve(expected.size());
        for (std::string_view value : expected) results.emplace_back(value);
        benchmark::DoNotOptimize(results);
    }
    state.counters["results"] = static_cast<double>(expected.size());
}

// Patterns that match every code, most codes, a prefix's range and a few codes; then
// patterns of one length without a '*': every code of a length, a literal at their end,
// and a length no code has in the usual tables.
const char* const Patterns[] = {"**",   "*?",   "?*",    "*a*",  "a*",    "a?",    "??b",
                                "*b*q", "ab??", "?b?d?", "???a", "????a", "?????", "??????"};

void UserPhrasesLoad(benchmark::State& state, Table* table) {
    table->Prepare();
    const auto user = TempFolder() / "user.txt";
    bench::WriteFile(user, bench::GenerateUserPhrases());
    CinTable loaded;
    if (!loaded.Load(table->file)) state.SkipWithError("load failed");
    for (auto _ : state) {
        if (!loaded.LoadUserPhrases(user)) state.SkipWithError("user load failed");
    }
    state.counters["phrases"] = static_cast<double>(loaded.UserPhraseCount());
}

void UserPhrasesUnchangedCheck(benchmark::State& state, Table* table) {
    table->Prepare();
    const auto user = TempFolder() / "user.txt";
    bench::WriteFile(user, bench::GenerateUserPhrases());
    CinTable loaded;
    if (!loaded.Load(table->file) || !loaded.LoadUserPhrases(user)) {
        state.SkipWithError("load failed");
    }
    for (auto _ : state) {
        if (loaded.ReloadUserPhrasesIfChanged() != ReloadResult::Unchanged) {
            state.SkipWithError("not unchanged");
        }
    }
}

void RegisterTable(Table* table) {
    const std::string& l = table->label;
    benchmark::RegisterBenchmark(("ReadAndSplitFloor/" + l).c_str(), ReadAndSplitFloor, table)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("Load/" + l).c_str(), Load, table)->Unit(benchmark::kMillisecond);
    // Each iteration loads first (untimed), so the count is fixed to keep the run short.
    benchmark::RegisterBenchmark(("Destroy/" + l).c_str(), Destroy, table)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark(("LoadMemory/" + l).c_str(), LoadMemory, table)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(2);
    benchmark::RegisterBenchmark(("ExactLookupEveryCode/" + l).c_str(), ExactLookupEveryCode, table)
        ->Unit(benchmark::kMillisecond);
    for (const char* pattern : Patterns) {
        const std::string p = pattern;
        benchmark::RegisterBenchmark(("Wildcard/" + l + "/" + p).c_str(), WildcardLookup, table, p)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("CopyResultsFloor/" + l + "/" + p).c_str(), CopyResultsFloor,
                                     table, p)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Our own arguments go before Google Benchmark sees the rest.
    static std::vector<std::unique_ptr<Table>> tables;
    std::vector<char*> rest;
    bool generated = true;
    for (int i = 0; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.substr(0, 8) == "--table=") {
            std::string_view spec = arg.substr(8);
            std::size_t cut = spec.find('=');
            if (cut == std::string_view::npos) {
                std::fprintf(stderr, "--table=LABEL=PATH\n");
                return 1;
            }
            auto table = std::make_unique<Table>();
            table->label = std::string(spec.substr(0, cut));
            table->file = std::string(spec.substr(cut + 1));
            tables.push_back(std::move(table));
        } else if (arg == "--no-generated") {
            generated = false;
        } else {
            rest.push_back(argv[i]);
        }
    }
    if (generated) {
        for (const bench::TableShape& shape : bench::Shapes) {
            auto table = std::make_unique<Table>();
            table->label = shape.name;
            table->file = TempFolder() / (std::string(shape.name) + ".cin");
            table->shape = &shape;
            tables.push_back(std::move(table));
        }
    }
    for (auto& table : tables) RegisterTable(table.get());
    Table* userTable = tables.front().get();
    for (auto& table : tables) {
        if (table->shape != nullptr && !table->shape->sortedByCode &&
            table->label.find("medium") == 0) {
            userTable = table.get();
        }
    }
    benchmark::RegisterBenchmark("UserPhrasesLoad", UserPhrasesLoad, userTable)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("UserPhrasesUnchangedCheck", UserPhrasesUnchangedCheck, userTable)
        ->Unit(benchmark::kMicrosecond);

    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code error;
    std::filesystem::remove_all(TempFolder(), error);
    return 0;
}
