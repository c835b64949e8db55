// Throughput of the reduction processor on 60 s of music-like stereo at 44100 Hz, as a
// multiple of real time on one core, beside the four transforms alone for the same frames
// (the floor of this algorithm). Run pinned to one core: taskset -c 0 bench_dsp_reduce
#include "MusicSignal.h"
#include "ReduceOffline.h"

#include <benchmark/benchmark.h>

namespace {

using corvanel::reducetest::Pcm;

constexpr double kSeconds = 60.0;
constexpr std::size_t kBlockBytes = 88200; // half a second, the export's block

const Pcm& Music() {
    static const Pcm pcm =
        corvanel::reducetest::MusicLike(static_cast<std::size_t>(kSeconds * 44100), 7);
    return pcm;
}

void BM_Processor(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    corvanel::ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = n;
    corvanel::ReduceProcessor processor(params);
    std::size_t frames = 0;
    const corvanel::ReduceSink sink = [&](const std::uint8_t*, std::uint32_t) { ++frames; };
    const Pcm& music = Music();
    Pcm block(kBlockBytes);
    for (auto _ : state) {
        processor.RequestEmptyQueues();
        for (std::size_t at = 0; at < music.size(); at += kBlockBytes) {
            const std::size_t len = std::min(kBlockBytes, music.size() - at);
            std::copy_n(music.begin() + static_cast<std::ptrdiff_t>(at), len, block.begin());
            processor.ProcessTo(sink, block.data(), static_cast<std::uint32_t>(len));
        }
        benchmark::DoNotOptimize(block.data());
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["frames"] =
        static_cast<double>(frames) / static_cast<double>(state.iterations());
}

// The two forward and two inverse transforms of every frame the processor runs, alone.
void BM_TransformsOnly(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const std::size_t pairs = Music().size() / 4;
    const std::size_t frames =
        pairs >= static_cast<std::size_t>(n) ? (pairs - n) / (3 * n / 4) + 1 : 0;
    corvanel::TWaveFFT fft1, fft2;
    for (corvanel::TWaveFFT* f : {&fft1, &fft2}) {
        f->SetWindowType(corvanel::wtRECTANGULAR);
        f->SetRadix(0);
    }
    corvanel::TWaveIFFT ifft1, ifft2;
    ifft1.SetCount(n / 2);
    ifft2.SetCount(n / 2);
    std::vector<double> left(static_cast<std::size_t>(n)), right(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] = corvanel::reducetest::SampleAt(Music(), i, 0) / 32768.0;
        right[i] = corvanel::reducetest::SampleAt(Music(), i, 1) / 32768.0;
    }
    std::vector<corvanel::TComplex> half(static_cast<std::size_t>(n / 2));
    for (auto _ : state) {
        for (std::size_t f = 0; f < frames; ++f) {
            fft1.SetSourceByArray(std::span<const double>(left));
            fft1.Execute();
            fft2.SetSourceByArray(std::span<const double>(right));
            fft2.Execute();
            fft1.GetResultToArray(half);
            ifft1.SetSourceByArray(half);
            ifft1.Execute();
            ifft1.GetResultToArray(std::span<double>(left));
            fft2.GetResultToArray(half);
            ifft2.SetSourceByArray(half);
            ifft2.Execute();
            ifft2.GetResultToArray(std::span<double>(right));
        }
        benchmark::DoNotOptimize(left.data());
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["frames"] = static_cast<double>(frames);
}

BENCHMARK(BM_Processor)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond)
    ;
BENCHMARK(BM_TransformsOnly)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond)
    ;

} // namespace

BENCHMARK_MAIN();
