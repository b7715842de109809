// The converter's entry point: command line, load, acceptance, output and exit status.
#pragma once

namespace kon2x {

// Runs one conversion for the given argument vector and returns the exit
// status: 0 after a conversion, 1 on every failure (each one reported on the
// console with a prompt that waits for Enter).
int run_converter(int argc, const char* const* argv);

}  // namespace kon2x
