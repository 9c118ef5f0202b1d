// The table over a large generated file: the read-and-split floor, the load, freeing the
// table, exact and wildcard lookups, and a 10,000-line user-phrase file. A counting
// allocator reports the heap bytes a load holds at its peak and keeps afterwards.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <string>

#include "cin_table.h"
#include "generated_table.h"

namespace {

std::atomic<std::size_t> liveBytes{0};
std::atomic<std::size_t> peakBytes{0};

void* CountedAllocate(std::size_t size) {
    // The size rides in front of the block so that delete can subtract it.
    auto* block = static_cast<std::max_align_t*>(std::malloc(size + sizeof(std::max_align_t)));
    if (block == nullptr) return nullptr;
    *reinterpret_cast<std::size_t*>(block) = size;
    std::size_t live = liveBytes.fetch_add(size) + size;
    std::size_t peak = peakBytes.load();
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live)) {
    }
    return block + 1;
}

void CountedFree(void* pointer) {
    if (pointer == nullptr) return;
    auto* block = static_cast<std::max_align_t*>(pointer) - 1;
    liveBytes.fetch_sub(*reinterpret_cast<std::size_t*>(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    void* p = CountedAllocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return CountedAllocate(size);
}
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, std::size_t) noexcept { CountedFree(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { CountedFree(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { CountedFree(p); }

namespace {

// The generated files live in a temp folder for the whole run.
struct Files {
    std::filesystem::path folder;
    std::filesystem::path table;
    std::filesystem::path user;
    std::size_t tableBytes = 0;

    Files() {
        folder = std::filesystem::temp_directory_path() /
                 ("moik-bench-" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder);
        table = folder / "bench.cin";
        user = folder / "user.txt";
        std::string text = bench::GenerateTableText();
        tableBytes = text.size();
        bench::WriteFile(table, text);
        bench::WriteFile(user, bench::GenerateUserPhrases());
    }
    ~Files() {
        std::error_code error;
        std::filesystem::remove_all(folder, error);
    }
};

const Files& TheFiles() {
    static const Files files;
    return files;
}

const CinTable& LoadedTable() {
    static const CinTable table = [] {
        CinTable t;
        if (!t.Load(TheFiles().table) || !t.LoadUserPhrases(TheFiles().user)) std::abort();
        return t;
    }();
    return table;
}

// The floor: read the whole file into memory and find every line end.
void ReadAndSplitFloor(benchmark::State& state) {
    const auto& file = TheFiles().table;
    for (auto _ : state) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes(static_cast<std::size_t>(std::filesystem::file_size(file)), '\0');
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        std::size_t lines = 0;
        const char* at = bytes.data();
        const char* end = at + bytes.size();
        while (const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at))) {
            ++lines;
            at = lf + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheFiles().tableBytes));
}
BENCHMARK(ReadAndSplitFloor)->Unit(benchmark::kMillisecond);

void Load(benchmark::State& state) {
    for (auto _ : state) {
        CinTable table;
        if (!table.Load(TheFiles().table)) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(table);
        state.PauseTiming();  // freeing is measured on its own below
        { CinTable gone = std::move(table); }
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * TheFiles().tableBytes));
}
BENCHMARK(Load)->Unit(benchmark::kMillisecond);

void Destroy(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto table = std::make_unique<CinTable>();
        if (!table->Load(TheFiles().table)) state.SkipWithError("load failed");
        state.ResumeTiming();
        table.reset();
    }
}
// Each iteration loads first (untimed), so the count is fixed to keep the run short.
BENCHMARK(Destroy)->Unit(benchmark::kMillisecond)->Iterations(40);

// Heap held at the peak of a load and kept by the loaded table, as multiples of the file.
void LoadMemory(benchmark::State& state) {
    for (auto _ : state) {
        std::size_t before = liveBytes.load();
        peakBytes.store(before);
        std::optional<CinTable> table(std::in_place);
        if (!table->Load(TheFiles().table)) state.SkipWithError("load failed");
        std::size_t kept = liveBytes.load() - before;
        std::size_t peak = peakBytes.load() - before;
        table.reset();
        const double file = static_cast<double>(TheFiles().tableBytes);
        state.counters["file_MB"] = file / 1e6;
        state.counters["peak_x_file"] = static_cast<double>(peak) / file;
        state.counters["kept_x_file"] = static_cast<double>(kept) / file;
    }
}
BENCHMARK(LoadMemory)->Unit(benchmark::kMillisecond)->Iterations(3);

// Codes of the generated table, one and several values alike.
void ExactLookup(benchmark::State& state) {
    const CinTable& table = LoadedTable();
    const char* codes[] = {"abcde", "q", "zz", "mno", "xyzab", "k/;.a", "ppp", "nope!"};
    std::size_t next = 0;
    for (auto _ : state) {
        auto results = table.Lookup(codes[next++ % 8]);
        benchmark::DoNotOptimize(results);
    }
}
BENCHMARK(ExactLookup);

// One typical code with one value.
void ExactLookupSingle(benchmark::State& state) {
    const CinTable& table = LoadedTable();
    std::string code = "aaaaa";  // the first code of this shape that the table defines
    for (char c = 'a'; c <= 'z' && table.Lookup(code).empty(); ++c) code[4] = c;
    for (auto _ : state) {
        auto results = table.Lookup(code);
        benchmark::DoNotOptimize(results);
    }
}
BENCHMARK(ExactLookupSingle);

void WildcardLookup(benchmark::State& state, const char* pattern) {
    const CinTable& table = LoadedTable();
    std::size_t found = 0;
    for (auto _ : state) {
        auto results = table.Lookup(pattern);
        found = results.size();
        benchmark::DoNotOptimize(results);
    }
    state.counters["results"] = static_cast<double>(found);
}
BENCHMARK_CAPTURE(WildcardLookup, a_star, "a*")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WildcardLookup, any_any_b, "??b")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WildcardLookup, star_b_star_q, "*b*q")->Unit(benchmark::kMillisecond);
// The worst shape: no prefix, no fixed length, no literal end; every code is matched.
BENCHMARK_CAPTURE(WildcardLookup, star_a_star, "*a*")->Unit(benchmark::kMillisecond);

void UserPhrasesLoad(benchmark::State& state) {
    CinTable table;
    if (!table.Load(TheFiles().table)) state.SkipWithError("load failed");
    for (auto _ : state) {
        if (!table.LoadUserPhrases(TheFiles().user)) state.SkipWithError("user load failed");
    }
    state.counters["phrases"] = static_cast<double>(table.UserPhraseCount());
}
BENCHMARK(UserPhrasesLoad)->Unit(benchmark::kMillisecond);

void UserPhrasesUnchangedCheck(benchmark::State& state) {
    CinTable table;
    if (!table.Load(TheFiles().table) || !table.LoadUserPhrases(TheFiles().user)) {
        state.SkipWithError("load failed");
    }
    for (auto _ : state) {
        if (table.ReloadUserPhrasesIfChanged() != ReloadResult::Unchanged) {
            state.SkipWithError("not unchanged");
        }
    }
}
BENCHMARK(UserPhrasesUnchangedCheck)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
