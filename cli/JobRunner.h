#pragma once
// Runs the files of a batch on a fixed number of worker threads. Each worker takes the next
// file when it is free, so files of unequal length keep every worker busy. Jobs share
// nothing through the runner: each builds its own processor, chain and encoder.
//
// Threads: RunJobs is called on one thread and returns when every worker has ended; the job
// function runs on the workers, several at once.
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace corvanel::cli {

enum class TJobOutcome { Written, Failed, Aborted, NotStarted };

struct TJobResult {
    TJobOutcome Outcome = TJobOutcome::NotStarted;
    std::string Message;       // the reason of a failure, or what an abort left
    double Seconds = 0.0;      // wall-clock time of the job
    double AudioSeconds = 0.0; // length of the source
    std::string Details{};     // lines that explain a failure (what the encoder said)
};

// The number of workers: `requested`, or one per core when it is 0; never more than files.
int WorkerCount(int requested, std::size_t files);

// job(i) for every i below count, on `workers` threads. Once `stop` is set no further file
// is begun; those left keep NotStarted. An exception from job(i) makes it Failed with the
// exception's text.
std::vector<TJobResult> RunJobs(std::size_t count, int workers,
                                const std::function<TJobResult(std::size_t)>& job,
                                const std::atomic<bool>& stop);

} // namespace corvanel::cli
