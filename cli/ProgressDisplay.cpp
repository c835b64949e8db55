#include "cli/ProgressDisplay.h"

#include "export/OutputChoice.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace corvanel::cli {

namespace {

std::string Fixed(double value, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string RealTime(double audioSeconds, double seconds) {
    if (seconds <= 0.0 || audioSeconds <= 0.0)
        return {};
    return Fixed(audioSeconds / seconds, 1) + "x real time";
}

} // namespace

TProgressDisplay::TProgressDisplay(std::ostream& out, TMode mode, int columns)
    : FOut(out), FMode(mode), FColumns(std::max(columns, 2)) {}

void TProgressDisplay::FollowColumns(std::function<int()> columns) {
    std::lock_guard lock(FLock);
    FColumnsNow = std::move(columns);
}

void TProgressDisplay::Started(std::size_t file, const std::string& input) {
    if (FMode != TMode::Terminal)
        return;
    std::lock_guard lock(FLock);
    FRunning[file] = TRunning{std::string(FileNamePart(input)), 0.0};
    EraseBars();
    DrawBars();
}

void TProgressDisplay::Progress(std::size_t file, double percent) {
    if (FMode != TMode::Terminal)
        return;
    std::lock_guard lock(FLock);
    const auto it = FRunning.find(file);
    if (it == FRunning.end())
        return;
    it->second.Percent = percent;
    // A redraw per block of every job would flood a slow terminal.
    const auto now = std::chrono::steady_clock::now();
    if (now - FLastDraw < std::chrono::milliseconds(100))
        return;
    EraseBars();
    DrawBars();
}

void TProgressDisplay::Finished(std::size_t file, const std::string& input,
                                const std::string& output, const TJobResult& result) {
    std::lock_guard lock(FLock);
    FRunning.erase(file);
    const bool show = FMode != TMode::Quiet || result.Outcome == TJobOutcome::Failed ||
                      result.Outcome == TJobOutcome::Aborted;
    if (FMode == TMode::Terminal)
        EraseBars();
    if (show) {
        FOut << FinishedLine(input, output, result) << '\n';
        if (result.Outcome == TJobOutcome::Failed)
            for (std::size_t at = 0; at < result.Details.size();) {
                const std::size_t end =
                    std::min(result.Details.find('\n', at), result.Details.size());
                FOut << "         " << std::string_view(result.Details).substr(at, end - at)
                     << '\n';
                at = end + 1;
            }
    }
    if (FMode == TMode::Terminal)
        DrawBars();
    FOut.flush();
}

void TProgressDisplay::Note(const std::string& text) {
    std::lock_guard lock(FLock);
    if (FMode == TMode::Terminal)
        EraseBars();
    FOut << text << '\n';
    if (FMode == TMode::Terminal)
        DrawBars();
    FOut.flush();
}

void TProgressDisplay::Summary(const std::vector<TJobResult>& results, double wallSeconds) {
    std::lock_guard lock(FLock);
    if (FMode == TMode::Terminal)
        EraseBars();
    if (FMode != TMode::Quiet)
        FOut << SummaryLine(results, wallSeconds) << '\n';
    FOut.flush();
}

std::string TProgressDisplay::FinishedLine(const std::string& input, const std::string& output,
                                           const TJobResult& r) {
    switch (r.Outcome) {
    case TJobOutcome::Written: {
        std::string line = "written  " + input + " -> " + output;
        if (const std::string rate = RealTime(r.AudioSeconds, r.Seconds); !rate.empty())
            line += " (" + Fixed(r.AudioSeconds, 1) + " s in " + Fixed(r.Seconds, 1) + " s, " +
                    rate + ")";
        return line;
    }
    case TJobOutcome::Failed:
        return "FAILED   " + input + ": " + r.Message;
    case TJobOutcome::Aborted:
        return "aborted  " + input + (r.Message.empty() ? "" : ": " + r.Message);
    case TJobOutcome::NotStarted:
        break;
    }
    return "skipped  " + input + (r.Message.empty() ? "" : ": " + r.Message);
}

std::string TProgressDisplay::SummaryLine(const std::vector<TJobResult>& results,
                                          double wallSeconds) {
    int counts[4] = {};
    double audio = 0.0;
    for (const auto& r : results) {
        ++counts[static_cast<int>(r.Outcome)];
        if (r.Outcome == TJobOutcome::Written)
            audio += r.AudioSeconds;
    }
    std::string line = std::to_string(results.size()) +
                       (results.size() == 1 ? " file: " : " files: ") +
                       std::to_string(counts[static_cast<int>(TJobOutcome::Written)]) + " written";
    if (const int n = counts[static_cast<int>(TJobOutcome::Failed)])
        line += ", " + std::to_string(n) + " failed";
    if (const int n = counts[static_cast<int>(TJobOutcome::Aborted)])
        line += ", " + std::to_string(n) + " aborted";
    if (const int n = counts[static_cast<int>(TJobOutcome::NotStarted)])
        line += ", " + std::to_string(n) + " not started";
    line += " in " + Fixed(wallSeconds, 1) + " s";
    if (const std::string rate = RealTime(audio, wallSeconds); !rate.empty())
        line += " (" + rate + " in total)";
    return line;
}

void TProgressDisplay::EraseBars() {
    if (FColumnsNow)
        FColumns = std::max(FColumnsNow(), 2);
    // A narrower terminal has wrapped the lines drawn for the wider one.
    int rows = 0;
    for (const int width : FDrawnWidths)
        rows += std::max(1, (width + FColumns - 1) / FColumns);
    if (rows > 0)
        FOut << "\x1b[" << rows << "A\r\x1b[J";
    FDrawnWidths.clear();
}

void TProgressDisplay::DrawBars() {
    for (const auto& [file, running] : FRunning) {
        const std::string line = BarLine(running);
        FOut << line << '\n';
        FDrawnWidths.push_back(TextColumns(line));
    }
    FOut.flush();
    FLastDraw = std::chrono::steady_clock::now();
}

std::string TProgressDisplay::BarLine(const TRunning& running) const {
    const int barWidth = std::clamp(FColumns - 30, 10, 30);
    const double percent = std::clamp(running.Percent, 0.0, 100.0);
    const int filled = static_cast<int>(std::lround(percent / 100.0 * barWidth));
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(barWidth - filled), '-') + "] ";
    std::string pct = Fixed(percent, 0) + "%";
    line += std::string(4 - std::min<std::size_t>(pct.size(), 4), ' ') + pct + "  ";
    // The last column stays free: a line that fills it wraps on some terminals.
    return FitColumns(line + running.Name, FColumns - 1);
}

} // namespace corvanel::cli
