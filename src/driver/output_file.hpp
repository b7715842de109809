// The output file from creation to close: one owner, removed again on failure.
#pragma once

#include <functional>
#include <string>

#include "export/output/output_buffer.hpp"

namespace kon2x {

enum class OutputResult { written, cannot_open, cannot_write };

// Creates (or replaces) the file `path`, has `fill` write its content through
// an output buffer, flushes and closes it. Every write, the flush and the
// close are checked; on any failure the partial file is removed, also when
// running out of memory (std::bad_alloc) goes on through here. Reports
// nothing: the result says what happened.
OutputResult write_output_file(const std::string& path, const std::function<void(OutputBuffer&)>& fill);

}  // namespace kon2x
