#include "FileExport.h"

#include "ControlParams.h"
#include "ExportRun.h"
#include "audio/bass.h"
#include "audio/chain/StreamChain.h"

#include <chrono>
#include <mutex>
#include <optional>

namespace corvanel::cli {

namespace {

// The chain build resets the audio layer's global encoder queue limit, and the run sets its
// own around the encoder's start; one job at a time in that stretch keeps every encoder's
// limit the run's (the data written does not depend on it, the memory held does).
std::mutex gStartLock;

// The window's side of a run without a window: progress goes to the batch's display, the
// abort request is read once per block, message boxes become the job's result.
class TJobView final : public TExportView {
  public:
    TJobView(const std::function<void(double)>& progress, const std::atomic<bool>& abort)
        : FProgress(progress), FAbort(abort) {}

    void SetRun(TExportRun& run) { FRun = &run; }

    void ChooseOutput(TObjectEx&) override {} // the output is chosen before the run
    void ShowWritingView(bool shown) override {
        if (shown)
            FStart.emplace(gStartLock);
        else
            FStart.reset();
    }
    void SetProgress(double percent) override {
        if (FProgress && percent > 0.0)
            FProgress(percent);
    }
    void ProcessEvents() override {
        FStart.reset();
        if (FAbort.load() && FRun != nullptr)
            FRun->CornerButton1Click();
    }
    void RewindPosition() override {}
    void ShowInformation(const std::string&) override {}
    void ShowWarning(const std::string&) override {}
    void ShowError(const std::string&) override {}

  private:
    const std::function<void(double)>& FProgress;
    const std::atomic<bool>& FAbort;
    TExportRun* FRun = nullptr;
    std::optional<std::unique_lock<std::mutex>> FStart;
};

// The run's messages may span lines; a batch shows one line per file.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

} // namespace

TJobResult ExportFile(const TFileExport& job, const TEncoderCatalogue& catalogue,
                      const std::function<void(double)>& progress, const std::atomic<bool>& abort) {
    const auto started = std::chrono::steady_clock::now();

    ReduceParams params;
    SetParamsFromControls(job.Controls, params);
    ReduceProcessor processor(params);
    OutputTap tap;
    StreamChain chain(processor, tap);

    TExportState state;
    state.EncodeDir = job.EncodeDir;
    AcceptOutputChoice(state, catalogue, job.Output);
    state.QualitySelecter = job.Quality;

    TJobView view(progress, abort);
    TExportOptions options;
    options.PassThroughPause = std::chrono::milliseconds(0); // pacing for a window only
    TExportRun run(chain, state, view, options);
    view.SetRun(run);

    ChainControls controls;
    controls.Path = job.Input;
    controls.KeyChange = job.Controls.SpinKeyChange;
    controls.Tempo = static_cast<float>(job.Controls.TrackTempo);
    const TExportResult exported = run.Button5Click(controls);

    TJobResult result;
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const QWORD length = BASS_ChannelGetLength(chain.dwStream(), BASS_POS_BYTE);
    if (length != static_cast<QWORD>(-1) && chain.ChInfo().freq > 0 && chain.ChInfo().chans > 0)
        result.AudioSeconds = static_cast<double>(length) /
                              (static_cast<double>(chain.ChInfo().freq) * chain.ChInfo().chans * 2);
    switch (exported.Outcome) {
    case TExportOutcome::Completed:
        result.Outcome = TJobOutcome::Written;
        break;
    case TExportOutcome::Aborted:
        result.Outcome = TJobOutcome::Aborted;
        result.Message = "stopped; " + job.Output + " is closed with what was written";
        break;
    default:
        result.Outcome = TJobOutcome::Failed;
        result.Message =
            OneLine(exported.Message.empty() ? "the export did not run" : exported.Message);
        break;
    }
    return result;
}

} // namespace corvanel::cli
