// Export speed, as multiples of real time, of a three-minute MP3 written to WAV: the export
// run with the reduction on (N = 16384), the run with the reduction off with and without the
// window's 20 ms pause per block, and ffmpeg on the same file: plain centre cancellation and
// its spectral centre extractor.
// The source is made once with ffmpeg in a temporary folder.
#include "export/ExportRun.h"
#include "engine/OutputTap.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace corvanel;

namespace {

constexpr double kSourceSeconds = 180.0;

const fs::path& Folder() {
    static const fs::path dir = [] {
        fs::path d =
            fs::temp_directory_path() / ("corvanel_bench_export_" + std::to_string(::getpid()));
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// A centred tone, a tone on each side and some noise, as a 192 kbit/s MP3.
const fs::path& SourceMp3() {
    static const fs::path file = [] {
        const fs::path f = Folder() / "source.mp3";
        const std::string command =
            "ffmpeg -v error -y -f lavfi -i "
            "\"aevalsrc=0.3*sin(2*PI*440*t)+0.1*sin(2*PI*1000*t)+0.05*(random(0)-0.5)|"
            "0.3*sin(2*PI*440*t)+0.1*sin(2*PI*2500*t)+0.05*(random(1)-0.5):s=44100:d=" +
            std::to_string(static_cast<int>(kSourceSeconds)) + "\" -c:a libmp3lame -b:a 192k '" +
            f.string() + "'";
        if (std::system(command.c_str()) != 0)
            return fs::path();
        return f;
    }();
    return file;
}

class NullView final : public TExportView {
  public:
    void ChooseOutput(TObjectEx&) override {}
    void ShowWritingView(bool) override {}
    void SetProgress(double) override {}
    void ProcessEvents() override {}
    void RewindPosition() override {}
    void ShowInformation(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string& text) override { Error = text; }
    std::string Error;
};

void Finish(benchmark::State& state) {
    state.counters["x_realtime"] = benchmark::Counter(
        kSourceSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// range(0): reduction on; range(1): pass-through pause in ms.
void BM_ExportRunToWav(benchmark::State& state) {
    if (SourceMp3().empty()) {
        state.SkipWithError("ffmpeg could not make the source");
        return;
    }
    ReduceParams params;
    params.VREnable = state.range(0) != 0;
    params.VRFFTPoint = 16384;
    ReduceProcessor processor(params);
    OutputTap tap;
    StreamChain chain(processor, tap);
    TExportState choice;
    choice.Edit2 = (Folder() / "out.wav").string();
    choice.EncodeProgram = "<WAVE>";
    NullView view;
    TExportOptions options;
    options.PassThroughPause = std::chrono::milliseconds(state.range(1));
    TExportRun run(chain, choice, view, options);
    ChainControls controls;
    controls.Path = SourceMp3().string();
    for (auto _ : state) {
        const TExportResult result = run.Button5Click(controls);
        if (result.Outcome != TExportOutcome::Completed) {
            state.SkipWithError(result.Message.c_str());
            return;
        }
    }
    Finish(state);
}
BENCHMARK(BM_ExportRunToWav)
    ->ArgNames({"reduce", "pause_ms"})
    ->Args({1, 20})
    ->Args({0, 20})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void RunFfmpeg(benchmark::State& state, const std::string& filter) {
    if (SourceMp3().empty()) {
        state.SkipWithError("ffmpeg could not make the source");
        return;
    }
    const std::string command = "ffmpeg -v error -y -i '" + SourceMp3().string() + "' -af \"" +
                                filter + "\" '" + (Folder() / "ffmpeg.wav").string() + "'";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    Finish(state);
}

// Plain L-R: no spectral work at all.
void BM_FfmpegCentreCancel(benchmark::State& state) {
    RunFfmpeg(state, "pan=stereo|c0=c0-c1|c1=c1-c0");
}
BENCHMARK(BM_FfmpegCentreCancel)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// ffmpeg's own spectral centre extraction, the centre then taken out of both sides: the
// spectral peer of the reduction.
void BM_FfmpegSpectralCentre(benchmark::State& state) {
    RunFfmpeg(state, "dialoguenhance,pan=stereo|c0=FL-FC|c1=FR-FC");
}
BENCHMARK(BM_FfmpegSpectralCentre)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Folder(), ec);
    return 0;
}
