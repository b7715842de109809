// The two ways of formatting the chunks of format_in_order: one by one on the
// calling thread, and on several threads (built only for targets with threads).
#pragma once

#include "export/output/ordered_chunks.hpp"

namespace kon2x {

bool format_one_by_one(std::size_t count, const std::function<void(std::size_t, TextChunk&)>& format,
                       const std::function<bool(std::string_view)>& write);

// `threads` is at least 2. A target without threads formats one by one.
bool format_on_threads(std::size_t count, unsigned threads,
                       const std::function<void(std::size_t, TextChunk&)>& format,
                       const std::function<bool(std::string_view)>& write);

}  // namespace kon2x
