// Times the FFT kernels and one analyse+synthesise round trip at the processor's frame sizes,
// next to FFTW doing the same complex transform on the same split real/imaginary arrays, and
// prints the ratios. Run: build/bin/bench_dsp_fft
#include "dsp/WaveFFT.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace corvanel;

namespace {

constexpr int kSizes[] = {8192, 16384, 32768};

std::vector<double> RandomBlock(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> dist(-0.5, 0.5);
    std::vector<double> v(static_cast<std::size_t>(n));
    for (double& x : v)
        x = dist(gen);
    return v;
}

void Radix2Forward(int n, double* ar, double* ai) {
    Radix2FFT(n, ar, ai, false);
}

// FFTW behind the component's procedure seam: the split arrays go through an aligned
// interleaved buffer (the copies are counted in FFTW's time), because new-array execution of
// a split plan on arbitrary arrays is not reliable.
struct SeamPlan {
    fftw_complex* buffer = nullptr;
    fftw_plan forward = nullptr, backward = nullptr;
};
std::map<int, SeamPlan> gPlans;

void RunSeam(int n, double* ar, double* ai, bool inverse) {
    const SeamPlan& p = gPlans.at(n);
    for (int t = 0; t < n; ++t) {
        p.buffer[t][0] = ar[t];
        p.buffer[t][1] = ai[t];
    }
    fftw_execute(inverse ? p.backward : p.forward);
    const double scale = inverse ? 1.0 / n : 1.0;
    for (int t = 0; t < n; ++t) {
        ar[t] = p.buffer[t][0] * scale;
        ai[t] = p.buffer[t][1] * scale;
    }
}

void FftwForward(int n, double* ar, double* ai) {
    RunSeam(n, ar, ai, false);
}
void FftwInverse(int n, double* ar, double* ai) {
    RunSeam(n, ar, ai, true);
}

fftw_plan SplitPlan(int n, double* re, double* im, unsigned flags) {
    fftw_iodim dim{n, 1, 1};
    return fftw_plan_guru_split_dft(1, &dim, 0, nullptr, re, im, re, im, flags);
}

void MakeSeamPlans() {
    for (int n : kSizes) {
        SeamPlan& p = gPlans[n];
        p.buffer = fftw_alloc_complex(static_cast<std::size_t>(n));
        p.forward = fftw_plan_dft_1d(n, p.buffer, p.buffer, FFTW_FORWARD, FFTW_MEASURE);
        p.backward = fftw_plan_dft_1d(n, p.buffer, p.buffer, FFTW_BACKWARD, FFTW_MEASURE);
    }
}

// One forward transform of a fresh copy of the block (the copy is part of every variant).
void BM_Forward(benchmark::State& state, TFFTProcedure proc) {
    const int n = static_cast<int>(state.range(0));
    const auto source = RandomBlock(n, 1);
    std::vector<double> re(source.size()), im(source.size());
    for (auto _ : state) {
        std::memcpy(re.data(), source.data(), source.size() * sizeof(double));
        std::memset(im.data(), 0, im.size() * sizeof(double));
        proc(n, re.data(), im.data());
        benchmark::DoNotOptimize(re.data());
        benchmark::ClobberMemory();
    }
}

// FFTW at its best: aligned arrays, a measured plan.
void BM_ForwardFftw(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const auto source = RandomBlock(n, 1);
    auto* re = static_cast<double*>(fftw_malloc(sizeof(double) * n));
    auto* im = static_cast<double*>(fftw_malloc(sizeof(double) * n));
    fftw_plan plan = SplitPlan(n, re, im, FFTW_MEASURE);
    for (auto _ : state) {
        std::memcpy(re, source.data(), source.size() * sizeof(double));
        std::memset(im, 0, sizeof(double) * n);
        fftw_execute(plan);
        benchmark::DoNotOptimize(re);
        benchmark::ClobberMemory();
    }
    fftw_destroy_plan(plan);
    fftw_free(re);
    fftw_free(im);
}

// What the processor does per channel and frame: analyse N samples, read N/2 amplitudes and
// phases, synthesise them back into N samples.
void BM_RoundTrip(benchmark::State& state, TFFTProcedure forward, TFFTProcedure inverse) {
    const int n = static_cast<int>(state.range(0));
    const auto source = RandomBlock(n, 2);
    TWaveFFT fft;
    fft.SetWindowType(wtRECTANGULAR);
    fft.SetFFTProcedure(forward);
    TWaveIFFT ifft;
    ifft.SetIFFTProcedure(inverse);
    std::vector<double> amp(static_cast<std::size_t>(n / 2)), phase(amp.size()), out(source.size());
    for (auto _ : state) {
        fft.SetCount(n);
        fft.SetSourceByArray(std::span<const double>(source));
        fft.Execute();
        for (int k = 0; k < n / 2; ++k) {
            amp[k] = fft.GetResultAmplitude(k);
            phase[k] = fft.GetResultPhase(k);
        }
        ifft.SetCount(n / 2);
        ifft.SetSourcePolar(amp, phase);
        ifft.Execute();
        ifft.GetResultToArray(out);
        benchmark::DoNotOptimize(out.data());
    }
}

// Keeps each run's CPU time (µs) by name for the ratio table: CPU time, because the
// machine is shared and wall time counts other processes too.
class Collector : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> micros;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration)
                micros[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv) {
    MakeSeamPlans();
    for (int n : kSizes) {
        benchmark::RegisterBenchmark("forward/SplitRadixFFT", BM_Forward,
                                     static_cast<TFFTProcedure>(SplitRadixFFT))
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("forward/Radix2FFT", BM_Forward,
                                     static_cast<TFFTProcedure>(Radix2Forward))
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("forward/FFTW", BM_ForwardFftw)
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("roundtrip/SplitRadixFFT", BM_RoundTrip,
                                     static_cast<TFFTProcedure>(SplitRadixFFT),
                                     static_cast<TFFTProcedure>(Radix2IFFT))
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("roundtrip/Radix2FFT", BM_RoundTrip,
                                     static_cast<TFFTProcedure>(Radix2Forward),
                                     static_cast<TFFTProcedure>(Radix2IFFT))
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark("roundtrip/FFTW", BM_RoundTrip,
                                     static_cast<TFFTProcedure>(FftwForward),
                                     static_cast<TFFTProcedure>(FftwInverse))
            ->Arg(n)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::Initialize(&argc, argv);
    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    auto time = [&](const std::string& name) {
        const auto it = collector.micros.find(name);
        return it == collector.micros.end() ? std::nan("") : it->second;
    };
    std::printf("\n%-10s %7s %12s %12s %12s %10s %10s\n", "what", "N", "split µs", "radix2 µs",
                "FFTW µs", "split/FFTW", "r2/FFTW");
    for (const char* what : {"forward", "roundtrip"}) {
        for (int n : kSizes) {
            const std::string s = "/" + std::to_string(n);
            const double split = time(std::string(what) + "/SplitRadixFFT" + s);
            const double r2 = time(std::string(what) + "/Radix2FFT" + s);
            const double fftw = time(std::string(what) + "/FFTW" + s);
            std::printf("%-10s %7d %12.1f %12.1f %12.1f %10.2f %10.2f\n", what, n, split, r2, fftw,
                        split / fftw, r2 / fftw);
        }
    }
    // The processor runs two round trips (left, right) per hop of 3N/4 sample pairs.
    std::printf("\nround trips alone, both channels, split-radix forward, 44100 Hz:\n");
    for (int n : kSizes) {
        const double perHop = 2 * time("roundtrip/SplitRadixFFT/" + std::to_string(n));
        const double audio = 0.75 * n / 44100.0 * 1e6;
        std::printf("  N %5d: %8.1f µs per hop of %6.1f ms audio = %6.0fx real time\n", n, perHop,
                    audio / 1000, audio / perHop);
    }
    for (auto& [n, p] : gPlans) {
        fftw_destroy_plan(p.forward);
        fftw_destroy_plan(p.backward);
        fftw_free(p.buffer);
    }
    benchmark::Shutdown();
    return 0;
}
