// kon2batch's command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "driver/output_formats.hpp"

namespace kon2x {

enum class ReportKind { none, json_lines, csv };

struct BatchOptions {
    // The outputs to write, in the order x, glb, svg, dxf.
    std::vector<const OutputFormat*> formats;
    // Where the outputs go, mirroring the inputs' paths; "" puts each beside its input.
    std::string out_dir;
    unsigned jobs = 1;
    std::string report_path;
    ReportKind report = ReportKind::none;
    bool quiet = false;
    // Skip an input whose outputs all exist and are newer than it.
    bool update = false;
    // Only the shard-th of `shards` slices of the inputs; 0 of 0: all of them.
    unsigned shard = 0;
    unsigned shards = 0;
    std::vector<std::string> paths;
    // Any option was given (files dropped onto the program come without).
    bool options_given = false;
};

enum class CommandLineAction { convert, help, version, usage_error };

struct CommandLine {
    CommandLineAction action = CommandLineAction::convert;
    BatchOptions options;
    // What is wrong with a command line that is a usage error.
    std::string error;
};

// Reads the command line of batch_usage(); an option's value may also follow
// it after '='. "--" ends the options. `cores` is the default of --jobs.
CommandLine parse_command_line(int argc, const char* const* argv, unsigned cores);

// The usage lines and what each option does, for --help and usage errors,
// naming the program as it was started (kon2batch.exe on Windows).
std::string batch_usage(std::string_view program);

}  // namespace kon2x
