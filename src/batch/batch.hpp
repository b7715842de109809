// kon2batch: many construction files converted in one run, on every core.
#pragma once

namespace kon2x {

// Runs a batch for the command line (see kBatchUsage) and returns its exit
// status: 0 when every input converted; 1 when any was refused or failed,
// none was found, a file or folder could not be read, or the batch was
// stopped (SIGINT, SIGTERM, writing that kept failing); 2 for a usage error
// or an --out folder or report that cannot be created. Never waits for Enter.
int run_batch(int argc, const char* const* argv);

}  // namespace kon2x
