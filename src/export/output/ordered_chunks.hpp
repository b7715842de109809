// Formats numbered chunks of text, on several threads where the target has
// them, and hands them on in order.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "export/output/text_chunk.hpp"

namespace kon2x {

// The number of formatting threads the hardware offers (at least 1; 1 on a
// target without threads).
unsigned hardware_threads();

// Calls format(i, chunk) for every i below `count`, on `threads` threads
// (the calling thread among them; alone when `threads` is 1 or the target
// has no threads), at most a few chunks per thread ahead of the writing, so
// memory stays bounded; and write(text) with the chunks' texts in the order
// of i, one call at a time. Stops as soon as a write returns false: then
// returns false. When `format` or `write` throws (std::bad_alloc), no later
// chunk is written, every helper thread has ended, and the exception reaches
// the caller.
bool format_in_order(std::size_t count, unsigned threads,
                     const std::function<void(std::size_t index, TextChunk& chunk)>& format,
                     const std::function<bool(std::string_view text)>& write);

}  // namespace kon2x
