// Running out of memory without exceptions: a new_handler reports it and ends
// the process, since the allocation that failed cannot return.
#include <cstdlib>
#include <new>

#include "driver/out_of_memory.hpp"

namespace kon2x {

namespace {

const std::function<int()>* reporter = nullptr;

void report_and_exit() {
    // A second failure while reporting ends in the library's abort.
    std::set_new_handler(nullptr);
    std::_Exit((*reporter)());
}

}  // namespace

int run_reporting_out_of_memory(const std::function<int()>& run, const std::function<int()>& out_of_memory) {
    reporter = &out_of_memory;
    std::set_new_handler(report_and_exit);
    const int status = run();
    std::set_new_handler(nullptr);
    reporter = nullptr;
    return status;
}

}  // namespace kon2x
