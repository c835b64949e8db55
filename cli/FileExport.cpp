#include "cli/FileExport.h"

#include "cli/CliOptions.h"
#include "cli/ControlParams.h"
#include "export/EncoderCatalogue.h"
#include "export/ExportRun.h"
#include "audio/include/bass.h"
#include "engine/StreamChain.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvanel::cli {

namespace {

// The window's side of a run without a window: progress goes to the batch's display, the
// abort request is read once per block, message boxes become the job's result.
class TJobView final : public TExportView {
  public:
    TJobView(const std::function<void(double)>& progress, const std::atomic<bool>& abort)
        : FProgress(progress), FAbort(abort) {}

    void SetRun(TExportRun& run) { FRun = &run; }

    void ChooseOutput(TObjectEx&) override {} // the output is chosen before the run
    void ShowWritingView(bool) override {}
    void SetProgress(double percent) override {
        if (FProgress && percent > 0.0)
            FProgress(percent);
    }
    void ProcessEvents() override {
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
};

// The run's messages may span lines; a batch shows one line per file.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// The system's word for an input that cannot be read at all; empty when it can be.
std::string UnreadableReason(const std::string& path) {
    struct stat st {};
    int error = 0;
    if (::stat(path.c_str(), &st) != 0)
        error = errno;
    else if (S_ISDIR(st.st_mode))
        error = EISDIR;
    else if (const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK); fd < 0)
        error = errno;
    else
        ::close(fd);
    switch (error) {
    case 0:
        return {};
    case ENOENT:
        return "no such file";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EISDIR:
        return "is a directory";
    default:
        return std::generic_category().message(error);
    }
}

// Where the run reads and writes for "-": the process's own streams. An encoder program
// writes its own stream to its standard output, which it shares with this process.
constexpr const char* kStdinPath = "/dev/stdin";
constexpr const char* kStdoutPath = "/dev/stdout";

} // namespace

TJobResult ExportFile(const TFileExport& job, const TEncoderCatalogue& catalogue,
                      const std::function<void(double)>& progress, const std::atomic<bool>& abort) {
    const auto started = std::chrono::steady_clock::now();

    ReduceParams params;
    SetParamsFromControls(job.Controls, params);
    ReduceProcessor processor(params);
    OutputTap tap;
    StreamChain chain(processor, tap);

    const bool toStdout = job.Output == kStandardStream;
    const std::string input = job.Input == kStandardStream ? kStdinPath : job.Input;
    TExportState state;
    state.EncodeDir = job.EncodeDir;
    // The encoder is chosen by the extension, which standard output lacks.
    AcceptOutputChoice(state, catalogue, toStdout ? "stdout" + job.Extension : job.Output);
    if (toStdout)
        state.Edit2 = IsWaveEncoder(state.EncodeProgram) ? kStdoutPath : "-";
    state.QualitySelecter = job.Quality;

    TJobView view(progress, abort);
    TExportOptions options;
    options.PassThroughPause = std::chrono::milliseconds(0); // pacing for a window only
    TExportRun run(chain, state, view, options);
    view.SetRun(run);

    ChainControls controls;
    controls.Path = input;
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
    default: {
        result.Outcome = TJobOutcome::Failed;
        std::string message =
            exported.Message.empty() ? "the export did not run" : exported.Message;
        // The encoder's lines follow the failure's line instead of joining it.
        if (!exported.EncoderMessages.empty() && message.size() > exported.EncoderMessages.size())
            message.resize(message.size() - exported.EncoderMessages.size() - 1);
        if (const std::string reason = UnreadableReason(input); !reason.empty())
            message += "（" + reason + "）";
        result.Message = OneLine(message);
        result.Details = exported.EncoderMessages;
        break;
    }
    }
    return result;
}

} // namespace corvanel::cli
