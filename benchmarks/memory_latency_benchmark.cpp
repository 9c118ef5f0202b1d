// What one random read that waits on the one before costs on this machine, over working
// sets from the cache's size to past the large tables'. An exact lookup in a 20 MB table
// makes two or three such reads in a row (the bucket table, the keys, the value's text),
// so this is the floor its figure stands on.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

namespace {

constexpr std::size_t LineWords = 64 / sizeof(std::uint64_t);

void DependentRandomRead(benchmark::State& state) {
    const std::size_t lines = static_cast<std::size_t>(state.range(0)) * (1 << 20) / 64;
    // One cycle through every cache line in random order: each read's address is the
    // value the previous read returned, so no two reads overlap.
    std::vector<std::uint64_t> order(lines);
    std::iota(order.begin(), order.end(), std::uint64_t{0});
    std::shuffle(order.begin(), order.end(), std::mt19937_64(1));
    std::vector<std::uint64_t> next(lines * LineWords);
    for (std::size_t i = 0; i < lines; ++i) {
        next[order[i] * LineWords] = order[(i + 1) % lines] * LineWords;
    }
    std::uint64_t at = 0;
    for (std::size_t i = 0; i < lines; ++i) at = next[at];  // warm: every line once
    constexpr std::size_t ReadsPerIteration = 1 << 16;
    for (auto _ : state) {
        for (std::size_t i = 0; i < ReadsPerIteration; ++i) at = next[at];
        benchmark::DoNotOptimize(at);
    }
    // Seconds a read, printed with an SI prefix (n for nanoseconds).
    state.counters["per_read"] = benchmark::Counter(
        static_cast<double>(ReadsPerIteration),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

// Working sets in MiB.
BENCHMARK(DependentRandomRead)->Arg(4)->Arg(8)->Arg(16)->Arg(64)->Arg(256);

BENCHMARK_MAIN();
