// Running out of memory anywhere in a conversion, turned into one report.
#pragma once

#include <functional>

namespace kon2x {

// Returns run(); when memory runs out meanwhile, returns out_of_memory()
// instead, which reports it and gives the exit status. Where the build has
// exceptions, std::bad_alloc unwinds to here, closing what it passes (the
// output file is removed by its owner). Without exceptions a new_handler
// calls out_of_memory() at the allocation that failed and ends the process
// with its status, so out_of_memory() must remove a partial output itself.
int run_reporting_out_of_memory(const std::function<int()>& run, const std::function<int()>& out_of_memory);

}  // namespace kon2x
