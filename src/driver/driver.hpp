// The converter's entry point: command line, load, acceptance, output and exit status.
#pragma once

#include "driver/output_formats.hpp"

namespace kon2x {

// Runs one conversion for the given argument vector into `format` and returns
// the exit status: 0 after a conversion, 1 on every failure (each one
// reported on the console with a prompt that waits for Enter).
int run_converter(int argc, const char* const* argv, const OutputFormat& format);

}  // namespace kon2x
