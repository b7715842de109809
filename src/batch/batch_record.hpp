// What kon2batch keeps of one input: the report's record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "driver/model_counts.hpp"

namespace kon2x {

enum class Outcome { converted, refused, failed, skipped };

// "converted", "refused", "failed", "skipped" (up to date).
const char* outcome_name(Outcome outcome);

struct OutputRecord {
    std::string format;  // "x", "glb", "svg", "dxf"
    std::string path;
    std::uintmax_t bytes = 0;
    // The driver's note ("Nicht darstellbare Instanzen: 2\n"), or its line
    // when the output could not be written.
    std::string note;
};

struct BatchRecord {
    std::string input;
    Outcome outcome = Outcome::refused;
    // What the single program shows, without its prompts: the readers'
    // messages, then the driver's line of a refusal or failure.
    std::string messages;
    // Converted: every output written. Failed: the one that could not be.
    // Skipped: the outputs there already.
    std::vector<OutputRecord> outputs;
    bool counted = false;  // the model loaded: the counts hold
    ModelCounts counts;
    std::size_t materials = 0;
    std::int64_t milliseconds = 0;
    // A refusal's or failure's kind: its first message line, with paths and
    // numbers replaced by N. Inputs of one kind are summed up together.
    std::string kind;
    bool write_failed = false;
};

}  // namespace kon2x
