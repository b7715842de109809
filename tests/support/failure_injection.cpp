// The replaced operator new, pthread_create, fopen, fwrite, fclose and opendir
// behind the injected failures.
#include "support/failure_injection.hpp"

#include <dirent.h>
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <set>

namespace {

std::atomic<std::size_t> failing_low{SIZE_MAX};
std::atomic<std::size_t> failing_high{0};
std::atomic<std::size_t> failed_allocations{0};
std::atomic<int> allocations_left{0};

constexpr int kNotArmed = -1;
std::atomic<int> thread_starts_left{kNotArmed};
std::atomic<bool> thread_start_failed{false};

// The faulty files: armed while a FaultyFiles lives.
std::mutex file_fault_mutex;
std::string file_fault_name;
kon2x::test::FaultyFiles::Fault file_fault{};
int file_opens_left = 0;
int file_faults = 0;
int file_faults_left = -1;
std::set<std::FILE*> unwritable_files;

template <typename Function>
Function next_definition(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// The fault of opening `path` now, or null for none.
const kon2x::test::FaultyFiles::Fault* fault_of_opening(const char* path) {
    std::lock_guard lock(file_fault_mutex);
    if (file_fault_name.empty() || std::strstr(path, file_fault_name.c_str()) == nullptr) {
        return nullptr;
    }
    if (file_opens_left-- > 0 || file_faults_left == 0) {
        return nullptr;
    }
    --file_faults_left;
    ++file_faults;
    return &file_fault;
}

}  // namespace

extern "C" std::FILE* fopen(const char* path, const char* mode) {
    using Fault = kon2x::test::FaultyFiles::Fault;
    static const auto real = next_definition<std::FILE* (*)(const char*, const char*)>("fopen");
    const Fault* fault = fault_of_opening(path);
    if (fault != nullptr && *fault == Fault::cannot_open) {
        errno = EACCES;
        return nullptr;
    }
    if (fault != nullptr && *fault == Fault::interrupt) {
        std::raise(SIGINT);
    }
    std::FILE* file = real(path, mode);
    if (fault != nullptr && *fault == Fault::cannot_write && file != nullptr) {
        std::lock_guard lock(file_fault_mutex);
        unwritable_files.insert(file);
    }
    return file;
}

extern "C" std::size_t fwrite(const void* data, std::size_t size, std::size_t count, std::FILE* file) {
    static const auto real =
        next_definition<std::size_t (*)(const void*, std::size_t, std::size_t, std::FILE*)>("fwrite");
    {
        std::lock_guard lock(file_fault_mutex);
        if (unwritable_files.contains(file)) {
            errno = ENOSPC;
            return 0;
        }
    }
    return real(data, size, count, file);
}

extern "C" int fclose(std::FILE* file) {
    static const auto real = next_definition<int (*)(std::FILE*)>("fclose");
    {
        std::lock_guard lock(file_fault_mutex);
        unwritable_files.erase(file);
    }
    return real(file);
}

extern "C" DIR* opendir(const char* path) {
    static const auto real = next_definition<DIR* (*)(const char*)>("opendir");
    if (fault_of_opening(path) != nullptr) {
        errno = EACCES;
        return nullptr;
    }
    return real(path);
}

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

FaultyFiles::FaultyFiles(const std::string& name_part, Fault fault, int successes, int times) {
    std::lock_guard lock(file_fault_mutex);
    file_fault_name = name_part;
    file_fault = fault;
    file_opens_left = successes;
    file_faults_left = times;
    file_faults = 0;
}

FaultyFiles::~FaultyFiles() {
    std::lock_guard lock(file_fault_mutex);
    file_fault_name.clear();
    unwritable_files.clear();
}

int FaultyFiles::faults() const {
    std::lock_guard lock(file_fault_mutex);
    return file_faults;
}

}  // namespace kon2x::test
