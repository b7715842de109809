// The ordered pipeline: every thread, the calling one included, formats the
// next chunk into a ring of slots; whichever thread finds the chunk that is
// due ready writes it, and any that follow it ready, then frees their slots.
// No thread waits for a writer to be scheduled, so a few threads keep as
// many cores busy.
#include "export/output/chunk_threads.hpp"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kon2x {

namespace {

constexpr std::size_t kSlotsPerThread = 3;

// A slot's chunk on cache lines of its own: threads formatting neighbouring
// slots would otherwise share the line that holds their lengths.
struct alignas(64) Slot {
    TextChunk chunk;
};

class Pipeline {
public:
    Pipeline(std::size_t count, std::size_t slots, const std::function<void(std::size_t, TextChunk&)>& format,
             const std::function<bool(std::string_view)>& write)
        : count_(count), slots_(slots), ready_(slots, false), format_(format), write_(write) {}

    // Run by every thread until all chunks are written or the pipeline stopped.
    void run() {
        std::unique_lock lock(mutex_);
        while (!stopped_ && written_ < count_) {
            if (!writing_ && ready_[written_ % slots_.size()]) {
                write_ready(lock);
            } else if (next_ < count_ && next_ < written_ + slots_.size()) {
                format_next(lock);
            } else {
                changed_.wait(lock);
            }
        }
    }

    // Makes every thread leave run() after the chunk it is formatting.
    void cancel() {
        const std::lock_guard lock(mutex_);
        stop(nullptr);
    }

    bool write_failed() const { return write_failed_; }
    std::exception_ptr failure() const { return failure_; }

private:
    // Claims the next chunk and formats it with the lock released; its slot
    // was written out before (the caller checked).
    void format_next(std::unique_lock<std::mutex>& lock) {
        const std::size_t index = next_++;
        TextChunk& chunk = slots_[index % slots_.size()].chunk;
        lock.unlock();
        std::exception_ptr failure;
        try {
            chunk.clear();
            format_(index, chunk);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) {
            stop(failure);
            return;
        }
        ready_[index % slots_.size()] = true;
    }

    // Writes the chunks that are due and ready, in order, one writer at a time.
    void write_ready(std::unique_lock<std::mutex>& lock) {
        writing_ = true;
        while (!stopped_ && written_ < count_ && ready_[written_ % slots_.size()]) {
            const std::size_t slot = written_ % slots_.size();
            lock.unlock();
            std::exception_ptr failure;
            bool written = false;
            try {
                written = write_(slots_[slot].chunk.view());
            } catch (...) {
                failure = std::current_exception();
            }
            lock.lock();
            if (!written) {
                write_failed_ = !failure;
                stop(failure);
                break;
            }
            ready_[slot] = false;
            ++written_;
            changed_.notify_all();  // a slot is free
        }
        writing_ = false;
    }

    void stop(std::exception_ptr failure) {
        failure_ = failure_ ? failure_ : failure;
        stopped_ = true;
        changed_.notify_all();
    }

    const std::size_t count_;
    std::vector<Slot> slots_;
    std::vector<bool> ready_;  // per slot: formatted and not yet written
    const std::function<void(std::size_t, TextChunk&)>& format_;
    const std::function<bool(std::string_view)>& write_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;     // the next chunk to format
    std::size_t written_ = 0;  // chunks written so far
    bool writing_ = false;
    bool stopped_ = false;
    bool write_failed_ = false;
    std::exception_ptr failure_;
};

// The helper threads of one pipeline. They end with it: when starting one
// failed after others had started, the pipeline is cancelled and they are
// joined before the failure goes on.
class Helpers {
public:
    explicit Helpers(Pipeline& pipeline) : pipeline_(pipeline) {}
    Helpers(const Helpers&) = delete;
    Helpers& operator=(const Helpers&) = delete;
    ~Helpers() {
        if (std::uncaught_exceptions() > 0) {
            pipeline_.cancel();
        }
        for (std::thread& thread : threads_) {
            thread.join();
        }
    }

    // Starts up to `count` threads; the system may give fewer (then the
    // others do the work).
    void start(unsigned count) {
        threads_.reserve(count);  // before the first start: a later one must not reallocate
        try {
            for (unsigned t = 0; t < count; ++t) {
                threads_.emplace_back([this] { pipeline_.run(); });
            }
        } catch (const std::system_error&) {
        }
    }

private:
    Pipeline& pipeline_;
    std::vector<std::thread> threads_;
};

}  // namespace

unsigned hardware_threads() {
    const unsigned threads = std::thread::hardware_concurrency();
    return threads > 0 ? threads : 1;
}

bool format_on_threads(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t, TextChunk&)>& format,
                       const std::function<bool(std::string_view)>& write) {
    Pipeline pipeline(count, kSlotsPerThread * threads, format, write);
    {
        Helpers helpers(pipeline);
        helpers.start(threads - 1);  // the calling thread is one of the `threads`
        pipeline.run();
    }
    if (pipeline.failure()) {
        std::rethrow_exception(pipeline.failure());
    }
    return !pipeline.write_failed();
}

}  // namespace kon2x
