// The converter's entry point: command line, load, acceptance, output and exit status.
#pragma once

#include <functional>

#include "driver/output_formats.hpp"

namespace kon2x {

// Told of the model once it has loaded and been accepted, with its input
// path, before the output is written.
using LoadedStep = std::function<void(const ConstructionModel& model, const char* input_path)>;

// Runs one conversion for the given argument vector into `format` and returns
// the exit status: 0 after a conversion, 1 on every failure (each one
// reported on the console with a prompt that waits for Enter). `loaded`, if
// given, is told of the model before it is written.
int run_converter(int argc, const char* const* argv, const OutputFormat& format,
                  const LoadedStep& loaded = {});

}  // namespace kon2x
