// The mono and stereo kernels alone, in memory, in GB/s of input samples.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "processing/SampleKernels.h"

namespace {

constexpr std::size_t kSamples = std::size_t{1} << 19;  // one 1 MiB chunk per input, as varnel-cli reads

std::vector<std::uint8_t> Noise(std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(2 * kSamples);
    for (auto& byte : bytes) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

void SetRate(benchmark::State& state) {
    const double inputBytes = 2.0 * 2.0 * kSamples * static_cast<double>(state.iterations());
    state.counters["GB"] = benchmark::Counter(inputBytes / 1e9, benchmark::Counter::kIsRate);  // shown per second
}

void MixWithClippingKernel(benchmark::State& state) {
    const auto a = Noise(1), b = Noise(2);
    std::vector<std::uint8_t> out(a.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(varnel::MixWithClipping(a.data(), b.data(), out.data(), kSamples));
        benchmark::ClobberMemory();
    }
    SetRate(state);
}

void InterleaveKernel(benchmark::State& state) {
    const auto a = Noise(3), b = Noise(4);
    std::vector<std::uint8_t> out(2 * a.size());
    for (auto _ : state) {
        varnel::Interleave(a.data(), b.data(), out.data(), kSamples);
        benchmark::ClobberMemory();
    }
    SetRate(state);
}

BENCHMARK(MixWithClippingKernel);
BENCHMARK(InterleaveKernel);

}  // namespace

BENCHMARK_MAIN();
