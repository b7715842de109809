// The job threads and the delivery in input order.
#include "batch/job_pool.hpp"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>
#include <vector>

namespace kon2x {

bool JobPool::may_start(const std::atomic<bool>& stop) const {
    return next_ >= count_ || stop.load() || next_ < delivered_ + jobs_;
}

void JobPool::work(const Convert& convert, const std::atomic<bool>& stop) {
    std::unique_lock lock(mutex_);
    while (true) {
        may_start_.wait(lock, [&] { return may_start(stop); });
        if (next_ >= count_ || stop.load()) {
            return;
        }
        const std::size_t input = next_++;
        ++running_;
        lock.unlock();
        std::optional<BatchRecord> record = convert(input);
        lock.lock();
        --running_;
        finished_.emplace(input, std::move(record));
        finished_one_.notify_one();
    }
}

void JobPool::run(std::size_t count, const Convert& convert, const Deliver& deliver,
                  const std::function<void()>& tick, const std::atomic<bool>& stop) {
    count_ = count;
    std::vector<std::thread> threads;
    try {
        while (threads.size() < std::min<std::size_t>(jobs_, std::max<std::size_t>(count, 1))) {
            threads.emplace_back([&] { work(convert, stop); });
        }
    } catch (const std::system_error&) {
        // The system gave fewer threads than asked: the ones started do the work.
    }
    if (threads.empty()) {
        run_here(convert, deliver, tick, stop);
    } else {
        deliver_in_order(deliver, tick, stop);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
}

void JobPool::run_here(const Convert& convert, const Deliver& deliver, const std::function<void()>& tick,
                       const std::atomic<bool>& stop) {
    for (; next_ < count_ && !stop.load(); ++next_) {
        ++running_;
        std::optional<BatchRecord> record = convert(next_);
        --running_;
        if (record) {
            deliver(*record);
        }
        tick();
    }
}

void JobPool::deliver_in_order(const Deliver& deliver, const std::function<void()>& tick,
                               const std::atomic<bool>& stop) {
    std::unique_lock lock(mutex_);
    while (true) {
        finished_one_.wait_for(lock, std::chrono::milliseconds(200), [&] {
            return finished_.contains(delivered_) ||
                   (next_ >= count_ && running_ == 0 && delivered_ == next_);
        });
        for (auto found = finished_.find(delivered_); found != finished_.end();
             found = finished_.find(delivered_)) {
            std::optional<BatchRecord> record = std::move(found->second);
            finished_.erase(found);
            lock.unlock();
            if (record) {
                deliver(*record);
            }
            lock.lock();
            ++delivered_;
            may_start_.notify_all();
        }
        const bool started_all = next_ >= count_ || stop.load();
        if (started_all && delivered_ == next_ && running_ == 0) {
            break;
        }
        if (stop.load()) {
            may_start_.notify_all();  // waiting jobs see the stop and end
        }
        lock.unlock();
        tick();
        lock.lock();
    }
    may_start_.notify_all();
}

unsigned JobPool::threads_for_one() const {
    // The cores that --jobs allows, whether or not a job thread runs on
    // each, and no more than the machine has.
    const unsigned running = running_.load();
    const unsigned idle = running >= jobs_ ? 0 : jobs_ - running;
    return std::min(idle + 1, std::max(std::thread::hardware_concurrency(), 1U));
}

}  // namespace kon2x
