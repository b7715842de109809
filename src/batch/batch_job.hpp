// One input converted by kon2batch: loaded once, each output written under a
// temporary name and renamed once all of them are complete.
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_record.hpp"
#include "batch/input_walk.hpp"
#include "batch/temporary_names.hpp"
#include "driver/output_formats.hpp"

namespace kon2x {

struct JobSettings {
    std::vector<const OutputFormat*> formats;
    // Skip the input when its outputs all exist and are newer (--update).
    bool update = false;
    // Named in the temporary files, so that a rerun of the slice knows its own.
    Slice slice;
    // The threads a .x may be formatted on, asked when it starts.
    std::function<unsigned()> x_threads;
    // Set when the batch stops: a conversion under way is given up.
    const std::atomic<bool>* stop = nullptr;
};

// Converts `input` into `outputs` (one path per format, in order), with a
// console of its own. Nothing of it stays on disk unless it converted. An
// input given up because the batch stops gives no record.
std::optional<BatchRecord> convert_input(const BatchInput& input, const std::vector<std::string>& outputs,
                                         const JobSettings& settings);

// The kind of a refusal or failure from its messages: the first line, with
// each of `paths` and then every run of digits replaced by N.
std::string message_kind(const std::string& messages, const std::vector<std::string>& paths);

}  // namespace kon2x
