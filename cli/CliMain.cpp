#include "cli/CliMain.h"

#include "cli/BatchPlan.h"
#include "cli/CliOptions.h"
#include "cli/FileExport.h"
#include "cli/JobRunner.h"
#include "export/OutputChoice.h"
#include "cli/ProgressDisplay.h"

#include <chrono>
#include <system_error>

namespace corvanel::cli {

namespace fs = std::filesystem;

namespace {

int UsageError(std::ostream& err, const std::string& message) {
    err << kProgramName << ": " << message << "\nTry '" << kProgramName << " --help'.\n";
    return kExitUsage;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const TCliEnvironment& env) {
    const TParseResult parsed = ParseCliArguments(args);
    if (!parsed.Error.empty())
        return UsageError(err, parsed.Error);
    const TCliOptions& options = parsed.Options;
    if (options.Action == TCliOptions::TAction::Help) {
        out << UsageText();
        return kExitWritten;
    }
    if (options.Action == TCliOptions::TAction::Version) {
        out << VersionText();
        return kExitWritten;
    }

    // Audio is not read from or written to a terminal, where it could only be typed or shown.
    for (const auto& input : options.Inputs)
        if (input == kStandardStream && env.InputTerminal)
            return UsageError(err, "standard input is a terminal: pipe audio into -, or name "
                                   "a file");
    if (options.Output == kStandardStream && env.OutputTerminal)
        return UsageError(err, "standard output is a terminal: redirect it, or name a file "
                               "with -o");

    const std::string encodeDir = EncoderFolder(env.ExecutableFolder);
    const TEncoderCatalogue catalogue =
        TEncoderCatalogue::LoadFromFile(fs::path(encodeDir) / std::string(kCatalogueFileName));
    const TOutputFormat format = ChooseOutputFormat(options, catalogue, encodeDir);
    if (!format.Error.empty())
        return UsageError(err, format.Error);
    if (!options.Quiet)
        for (const auto& note : options.Notes)
            err << kProgramName << ": " << note << '\n';

    std::string folderError;
    if (options.OutDir) {
        std::error_code ec;
        const std::u8string dir(options.OutDir->begin(), options.OutDir->end());
        fs::create_directories(fs::path(dir), ec);
        if (ec)
            folderError = "cannot create the folder " + *options.OutDir + ": " + ec.message();
    }

    const std::vector<TPlannedFile> plan = PlanBatch(options, format.Extension);
    const auto mode = options.Quiet  ? TProgressDisplay::TMode::Quiet
                      : env.Terminal ? TProgressDisplay::TMode::Terminal
                                     : TProgressDisplay::TMode::Lines;
    TProgressDisplay display(err, mode, env.Columns);
    if (env.ColumnsNow)
        display.FollowColumns(env.ColumnsNow);
    std::atomic<bool> noAbort{false};
    const std::atomic<bool>& abort = env.Abort != nullptr ? *env.Abort : noAbort;

    const auto started = std::chrono::steady_clock::now();
    auto job = [&](std::size_t i) {
        const TPlannedFile& file = plan[i];
        TJobResult result;
        std::string reason = !folderError.empty()  ? folderError
                             : !file.Error.empty() ? file.Error
                                                   : format.Missing;
        if (!reason.empty()) {
            result.Outcome = TJobOutcome::Failed;
            result.Message = std::move(reason);
        } else {
            display.Started(i, file.Input);
            const TFileExport exportJob{file.Input,       file.Output,     format.Extension,
                                        options.Controls, options.Quality, encodeDir};
            const std::function<void(double)> progress = [&display, i](double percent) {
                display.Progress(i, percent);
            };
            result = ExportFile(exportJob, catalogue, progress, abort);
        }
        display.Finished(i, file.Input, file.Output, result);
        return result;
    };
    std::vector<TJobResult> results =
        RunJobs(plan.size(), WorkerCount(options.Jobs, plan.size()), job, abort);
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].Outcome == TJobOutcome::NotStarted) {
            results[i].Message = "stopped before it began";
            display.Finished(i, plan[i].Input, plan[i].Output, results[i]);
        }
    }
    display.Summary(
        results, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());

    for (const auto& r : results)
        if (r.Outcome != TJobOutcome::Written)
            return kExitFailed;
    return kExitWritten;
}

} // namespace corvanel::cli
