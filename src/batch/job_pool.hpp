// kon2batch's jobs: conversions on several threads, their records handed on
// in input order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "batch/batch_record.hpp"

namespace kon2x {

class JobPool {
public:
    // A conversion; null when it was given up because the batch stops.
    using Convert = std::function<std::optional<BatchRecord>(std::size_t)>;
    using Deliver = std::function<void(BatchRecord&)>;

    explicit JobPool(unsigned jobs) : jobs_(jobs) {}

    // Calls convert(i) for every i below `count` on up to `jobs` threads
    // (on the calling thread where none can start) and deliver() with each
    // record on the calling thread, in order of i. A job starts input i only
    // while fewer than `jobs` inputs before it wait to be delivered, so that
    // few records are held back. `tick` runs on the calling thread between
    // records and every fifth of a second. Once `stop` is set, no input
    // starts; those under way end, and those that give no record are skipped.
    void run(std::size_t count, const Convert& convert, const Deliver& deliver,
             const std::function<void()>& tick, const std::atomic<bool>& stop);

    // The threads the calling conversion may format on: its own and those
    // of the jobs that convert nothing at the moment (fewer inputs than
    // jobs, or the last ones).
    unsigned threads_for_one() const;

private:
    void work(const Convert& convert, const std::atomic<bool>& stop);
    bool may_start(const std::atomic<bool>& stop) const;
    void run_here(const Convert& convert, const Deliver& deliver, const std::function<void()>& tick,
                  const std::atomic<bool>& stop);
    void deliver_in_order(const Deliver& deliver, const std::function<void()>& tick,
                          const std::atomic<bool>& stop);

    unsigned jobs_;
    std::size_t count_ = 0;
    std::size_t next_ = 0;       // the next input to start
    std::size_t delivered_ = 0;  // the inputs handed on
    std::atomic<unsigned> running_{0};
    std::map<std::size_t, std::optional<BatchRecord>> finished_;
    mutable std::mutex mutex_;
    std::condition_variable may_start_;
    std::condition_variable finished_one_;
};

}  // namespace kon2x
