// Running out of memory as std::bad_alloc: the one place where it is caught.
#include "driver/out_of_memory.hpp"

#include <new>

namespace kon2x {

int run_reporting_out_of_memory(const std::function<int()>& run, const std::function<int()>& out_of_memory) {
    try {
        return run();
    } catch (const std::bad_alloc&) {
        return out_of_memory();
    }
}

}  // namespace kon2x
