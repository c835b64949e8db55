// Throughput of the reduction processor on 60 s of music-like stereo at 44100 Hz, as a
// multiple of real time on one core, beside: its two packed transforms alone, the four
// analyser/synthesiser transforms of the step-by-step form alone, and the same frames and
// decisions on FFTW (real-input transforms per channel), the floor to compare with. FFTW is
// used here only. Run pinned to one core: taskset -c 0 bench_dsp_reduce
#include "dsp/BinDecision.h"
#include "dsp/PackedFFT.h"
#include "dsp/ReduceOffline.h"
#include "tests/dsp_reduce/MusicSignal.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>

namespace {

using corvanel::reducetest::Pcm;

constexpr double kSeconds = 60.0;
constexpr std::size_t kBlockBytes = 88200; // half a second, the export's block

const Pcm& Music() {
    static const Pcm pcm =
        corvanel::reducetest::MusicLike(static_cast<std::size_t>(kSeconds * 44100), 7);
    return pcm;
}

std::size_t FrameCount(std::int32_t n) {
    const std::size_t pairs = Music().size() / 4;
    return pairs >= static_cast<std::size_t>(n) ? (pairs - n) / (3 * n / 4) + 1 : 0;
}

// Second argument, when given: the instruction set (0 baseline, 1 AVX2, 2 AVX-512) instead of
// the processor's default.
void BM_Processor(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    corvanel::SimdPath path = corvanel::BestSimdPath();
    if (state.range(1) >= 0) {
        path = static_cast<corvanel::SimdPath>(state.range(1));
        if (!corvanel::SimdPathAvailable(path)) {
            state.SkipWithError("instruction set not available");
            return;
        }
    }
    corvanel::ReduceParams params;
    params.VREnable = true;
    params.VRFFTPoint = n;
    corvanel::ReduceProcessor processor(params, path);
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
    const std::size_t frames = FrameCount(n);
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

// The processor's forward and inverse packed transforms of every frame, alone.
void BM_PackedTransformsOnly(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const std::size_t frames = FrameCount(n);
    const corvanel::PackedFFT fft(n);
    corvanel::PackedSpectrum spectrum(n);
    double* re = spectrum.Re();
    double* im = spectrum.Im();
    for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
        re[i] = corvanel::reducetest::SampleAt(Music(), i, 0) / 32768.0;
        im[i] = corvanel::reducetest::SampleAt(Music(), i, 1) / 32768.0;
    }
    const double scale = 1.0 / n;
    for (auto _ : state) {
        for (std::size_t f = 0; f < frames; ++f) {
            fft.Forward(re, im);
            fft.Inverse(re, im);
            for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
                re[i] *= scale;
                im[i] *= scale;
            }
        }
        benchmark::DoNotOptimize(re);
    }
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The processor's frames (without its queues and cross-fade) and per-bin decisions at the
// default parameters, on FFTW's real-input transforms: what the best library would make of
// this algorithm.
void BM_FftwFloor(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const std::size_t frames = FrameCount(n);
    const std::size_t half = static_cast<std::size_t>(n / 2);
    double* left = fftw_alloc_real(static_cast<std::size_t>(n));
    double* right = fftw_alloc_real(static_cast<std::size_t>(n));
    fftw_complex* specL = fftw_alloc_complex(half + 1);
    fftw_complex* specR = fftw_alloc_complex(half + 1);
    const fftw_plan fwdL = fftw_plan_dft_r2c_1d(n, left, specL, FFTW_MEASURE);
    const fftw_plan fwdR = fftw_plan_dft_r2c_1d(n, right, specR, FFTW_MEASURE);
    const fftw_plan invL = fftw_plan_dft_c2r_1d(n, specL, left, FFTW_MEASURE);
    const fftw_plan invR = fftw_plan_dft_c2r_1d(n, specR, right, FFTW_MEASURE);
    const corvanel::ReduceParams defaults;
    const corvanel::BinDecisionParams decision(defaults.VRBand1, defaults.VRBand2, 44100.0,
                                               defaults.VRPanPot, defaults.VRAParam,
                                               defaults.VRPParam);
    std::vector<std::int16_t> out(2 * static_cast<std::size_t>(n));
    const Pcm& music = Music();
    const double scale = 32768.0 / n;
    for (auto _ : state) {
        for (std::size_t f = 0; f < frames; ++f) {
            const std::size_t first = f * static_cast<std::size_t>(3 * n / 4);
            for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
                left[i] = corvanel::reducetest::SampleAt(music, first + i, 0) / 32768.0;
                right[i] = corvanel::reducetest::SampleAt(music, first + i, 1) / 32768.0;
            }
            fftw_execute(fwdL);
            fftw_execute(fwdR);
            for (std::size_t k = 0; k < half; ++k) {
                corvanel::TComplex l{specL[k][0], specL[k][1]}, r{specR[k][0], specR[k][1]};
                if (corvanel::DecideBin(decision, static_cast<double>(k) * 44100.0 / n, l, r)) {
                    specL[k][0] = l.Re;
                    specL[k][1] = l.Im;
                    specR[k][0] = r.Re;
                    specR[k][1] = r.Im;
                }
            }
            specL[half][0] = specL[half][1] = specR[half][0] = specR[half][1] = 0.0;
            fftw_execute(invL);
            fftw_execute(invR);
            for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
                out[2 * i] = static_cast<std::int16_t>(
                    std::clamp(std::lrint(left[i] * scale), -32768L, 32767L));
                out[2 * i + 1] = static_cast<std::int16_t>(
                    std::clamp(std::lrint(right[i] * scale), -32768L, 32767L));
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    fftw_destroy_plan(fwdL);
    fftw_destroy_plan(fwdR);
    fftw_destroy_plan(invL);
    fftw_destroy_plan(invR);
    fftw_free(left);
    fftw_free(right);
    fftw_free(specL);
    fftw_free(specR);
    state.counters["x_realtime"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_Processor)
    ->Args({8192, -1})
    ->Args({16384, -1})
    ->Args({32768, -1})
    ->Args({16384, 0})
    ->Args({16384, 1})
    ->Args({16384, 2})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackedTransformsOnly)
    ->Arg(8192)
    ->Arg(16384)
    ->Arg(32768)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TransformsOnly)->Arg(8192)->Arg(16384)->Arg(32768)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FftwFloor)->Arg(8192)->Arg(16384)->Arg(32768)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
