#include "ProgressDisplay.h"

#include "OutputChoice.h"

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

// Cut to at most `width` characters, counting UTF-8 sequences as one.
std::string Fit(const std::string& text, std::size_t width) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (++chars > width)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

TProgressDisplay::TProgressDisplay(std::ostream& out, TMode mode, int columns)
    : FOut(out), FMode(mode), FColumns(std::max(columns, 40)) {}

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
    if (show)
        FOut << FinishedLine(input, output, result) << '\n';
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
    if (FDrawnLines > 0)
        FOut << "\x1b[" << FDrawnLines << "A\r\x1b[J";
    FDrawnLines = 0;
}

void TProgressDisplay::DrawBars() {
    for (const auto& [file, running] : FRunning) {
        FOut << BarLine(running) << '\n';
        ++FDrawnLines;
    }
    FOut.flush();
    FLastDraw = std::chrono::steady_clock::now();
}

std::string TProgressDisplay::BarLine(const TRunning& running) const {
    constexpr int kBarWidth = 30;
    const double percent = std::clamp(running.Percent, 0.0, 100.0);
    const int filled = static_cast<int>(std::lround(percent / 100.0 * kBarWidth));
    std::string line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] ";
    std::string pct = Fixed(percent, 0) + "%";
    line += std::string(4 - std::min<std::size_t>(pct.size(), 4), ' ') + pct + "  ";
    const std::size_t room =
        static_cast<std::size_t>(std::max(FColumns - 1 - static_cast<int>(line.size()), 8));
    return line + Fit(running.Name, room);
}

} // namespace corvanel::cli
