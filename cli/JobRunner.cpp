#include "cli/JobRunner.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace corvanel::cli {

int WorkerCount(int requested, std::size_t files) {
    std::size_t workers = requested > 0 ? static_cast<std::size_t>(requested)
                                        : std::max(1u, std::thread::hardware_concurrency());
    workers = std::min(workers, std::max<std::size_t>(files, 1));
    return static_cast<int>(workers);
}

std::vector<TJobResult> RunJobs(std::size_t count, int workers,
                                const std::function<TJobResult(std::size_t)>& job,
                                const std::atomic<bool>& stop) {
    std::vector<TJobResult> results(count);
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (;;) {
            if (stop.load())
                return;
            const std::size_t i = next.fetch_add(1);
            if (i >= count)
                return;
            try {
                results[i] = job(i);
            } catch (const std::exception& e) {
                results[i] = TJobResult{TJobOutcome::Failed, e.what()};
            } catch (...) {
                results[i] = TJobResult{TJobOutcome::Failed, "unknown failure"};
            }
        }
    };
    std::vector<std::thread> threads;
    for (int w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (auto& t : threads)
        t.join();
    return results;
}

} // namespace corvanel::cli
