// Formats numbered chunks of text on several threads and hands them on in order.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "export/text_chunk.hpp"

namespace kon2x {

// The number of formatting threads the hardware offers (at least 1).
unsigned hardware_threads();

// Calls format(i, chunk) for every i below `count`, on `threads` threads
// (the calling thread among them; alone when `threads` is 1), at most a few
// chunks per thread ahead of the writing, so memory stays bounded; and
// write(text) with the chunks' texts in the order of i, one call at a time.
// Stops as soon as a write returns false: then returns false. An exception
// thrown by `format` or `write` (std::bad_alloc) stops the other threads and
// is thrown again here.
bool format_in_order(std::size_t count, unsigned threads,
                     const std::function<void(std::size_t index, TextChunk& chunk)>& format,
                     const std::function<bool(std::string_view text)>& write);

}  // namespace kon2x
