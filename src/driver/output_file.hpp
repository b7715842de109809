// The output file from creation to close: one owner, removed again on failure.
#pragma once

#include <functional>
#include <string>

#include "export/output_buffer.hpp"

namespace kon2x {

enum class OutputResult { written, cannot_open, cannot_write, out_of_memory };

// Creates (or replaces) the file `path`, has `fill` write its content through
// an output buffer, flushes and closes it. Every write, the flush and the
// close are checked; on any failure, running out of memory included, the
// partial file is removed. Reports nothing: the result says what happened.
OutputResult write_output_file(const std::string& path, const std::function<void(OutputBuffer&)>& fill);

}  // namespace kon2x
