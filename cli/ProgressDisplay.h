#pragma once
// What a batch shows while it runs. On a terminal: one bar per running file, redrawn in
// place, with a line kept above the bars for every finished file, and a summary line. Without
// a terminal (or one that cannot move the cursor): one line per finished file and the
// summary. Quiet: failures and aborts only. A failure's details (what its encoder said)
// follow its line, indented.
//
// Bars are measured in terminal columns and never fill the last column, so they never wrap;
// after the terminal was resized they are erased by the rows they take at the new width.
//
// Units: progress in percent; times in seconds. Threads: every member may be called from
// any thread; one lock orders the output.
#include "cli/JobRunner.h"

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

namespace corvanel::cli {

class TProgressDisplay {
  public:
    enum class TMode { Terminal, Lines, Quiet };

    // columns: the terminal's width (Terminal mode only).
    TProgressDisplay(std::ostream& out, TMode mode, int columns = 80);
    // The width asked again before every redraw, for a terminal that may be resized.
    void FollowColumns(std::function<int()> columns);

    void Started(std::size_t file, const std::string& input);
    void Progress(std::size_t file, double percent);
    void Finished(std::size_t file, const std::string& input, const std::string& output,
                  const TJobResult& result);
    // Once, after the last file; wallSeconds is the batch's wall-clock time.
    void Summary(const std::vector<TJobResult>& results, double wallSeconds);
    // A line of its own above the bars (e.g. a note about the abort).
    void Note(const std::string& text);

    // The line of a finished file, without its line break.
    static std::string FinishedLine(const std::string& input, const std::string& output,
                                    const TJobResult& result);
    static std::string SummaryLine(const std::vector<TJobResult>& results, double wallSeconds);

  private:
    struct TRunning {
        std::string Name;
        double Percent = 0.0;
    };
    void EraseBars();
    void DrawBars();
    std::string BarLine(const TRunning& running) const;

    std::ostream& FOut;
    TMode FMode;
    int FColumns;
    std::function<int()> FColumnsNow;
    std::mutex FLock;
    std::map<std::size_t, TRunning> FRunning;
    std::vector<int> FDrawnWidths; // columns of each bar line on the screen
    std::chrono::steady_clock::time_point FLastDraw{};
};

} // namespace corvanel::cli
