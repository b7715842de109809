// Failures injected into this test process: allocations of chosen sizes,
// thread starts, and files and folders. The process replaces operator new,
// pthread_create, fopen, fwrite and opendir, which sanitizers intercept
// themselves, so only builds without them use this.
#pragma once

#include <cstddef>
#include <string>

namespace kon2x::test {

// While it lives, allocations through operator new whose size lies in
// [low, high) fail with std::bad_alloc, on any thread, all but the first
// `successes` of them.
class FailingAllocations {
public:
    FailingAllocations(std::size_t low, std::size_t high, int successes = 0);
    ~FailingAllocations();
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;

    // The allocations that failed since it was made.
    std::size_t failed() const;
};

// While it lives, thread starts succeed `successes` more times; the next one
// fails as when the system has no thread to give (EAGAIN), and later ones
// succeed. A negative count fails none.
class FailingThreadStart {
public:
    explicit FailingThreadStart(int successes);
    ~FailingThreadStart();
    FailingThreadStart(const FailingThreadStart&) = delete;
    FailingThreadStart& operator=(const FailingThreadStart&) = delete;

    bool failed() const;
};

// While it lives, the files and folders whose path contains `name_part` are
// opened normally `successes` times; the next `times` opens of one (fopen,
// opendir; all of them for a negative count) have the fault.
class FaultyFiles {
public:
    enum class Fault {
        cannot_open,   // fails with EACCES
        cannot_write,  // opens, but every fwrite to it fails with ENOSPC
        interrupt,     // raises SIGINT, then opens
    };
    FaultyFiles(const std::string& name_part, Fault fault, int successes = 0, int times = -1);
    ~FaultyFiles();
    FaultyFiles(const FaultyFiles&) = delete;
    FaultyFiles& operator=(const FaultyFiles&) = delete;

    // The opens that had the fault.
    int faults() const;
};

}  // namespace kon2x::test
