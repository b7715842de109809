// kon2batch: many construction files converted in one run, on every core.
#pragma once

#include <cstdint>
#include <string_view>

namespace kon2x {

// Runs a batch for the command line (see batch_usage), given in UTF-8, and
// returns its exit status: 0 when every input converted or was up to date
// (--update); 1 when any was refused or failed,
// none was found, a file or folder could not be read, or the batch was
// stopped (SIGINT, SIGTERM, writing that kept failing); 2 for a usage error
// or an --out folder or report that cannot be created. Waits for Enter only
// where it was started for a drop.
// Started for files dropped onto it, it waits for Enter after its summary.
int run_batch(int argc, const char* const* argv);

// Whether the program was started for a drop, by the count of processes on
// its console: Explorer gives it a console of its own.
bool started_by_drop(unsigned console_processes);

// The hash that chooses an input's shard (64-bit FNV-1a of the bytes).
std::uint64_t stable_hash(std::string_view text);

}  // namespace kon2x
