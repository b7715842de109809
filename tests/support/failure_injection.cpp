// The replaced operator new and pthread_create behind the injected failures.
#include "support/failure_injection.hpp"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> failing_low{SIZE_MAX};
std::atomic<std::size_t> failing_high{0};
std::atomic<std::size_t> failed_allocations{0};
std::atomic<int> allocations_left{0};

constexpr int kNotArmed = -1;
std::atomic<int> thread_starts_left{kNotArmed};
std::atomic<bool> thread_start_failed{false};

}  // namespace

void* operator new(std::size_t size) {
    if (size >= failing_low.load() && size < failing_high.load() && allocations_left-- <= 0) {
        ++failed_allocations;
        // As the library's operator new: a new_handler where one is set
        // (the build without exceptions), else bad_alloc.
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) {
            throw std::bad_alloc();
        }
        handler();
    }
    if (void* memory = std::malloc(size > 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) noexcept {
    int left = thread_starts_left.load();
    while (left != kNotArmed) {
        if (left == 0) {
            if (thread_starts_left.compare_exchange_weak(left, kNotArmed)) {
                thread_start_failed = true;
                return EAGAIN;
            }
        } else if (thread_starts_left.compare_exchange_weak(left, left - 1)) {
            break;
        }
    }
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    return real(thread, attributes, start, argument);
}

namespace kon2x::test {

FailingAllocations::FailingAllocations(std::size_t low, std::size_t high, int successes) {
    failed_allocations = 0;
    allocations_left = successes;
    failing_high = high;
    failing_low = low;
}

FailingAllocations::~FailingAllocations() {
    failing_low = SIZE_MAX;
    failing_high = 0;
}

std::size_t FailingAllocations::failed() const {
    return failed_allocations.load();
}

FailingThreadStart::FailingThreadStart(int successes) {
    thread_start_failed = false;
    thread_starts_left = successes < 0 ? kNotArmed : successes;
}

FailingThreadStart::~FailingThreadStart() {
    thread_starts_left = kNotArmed;
}

bool FailingThreadStart::failed() const {
    return thread_start_failed.load();
}

}  // namespace kon2x::test
