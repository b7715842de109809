// Ordered chunks: the choice between the two ways, and the one-by-one way.
#include "export/output/ordered_chunks.hpp"

#include "export/output/chunk_threads.hpp"

namespace kon2x {

bool format_one_by_one(std::size_t count, const std::function<void(std::size_t, TextChunk&)>& format,
                       const std::function<bool(std::string_view)>& write) {
    TextChunk chunk;
    for (std::size_t index = 0; index < count; ++index) {
        chunk.clear();
        format(index, chunk);
        if (!write(chunk.view())) {
            return false;
        }
    }
    return true;
}

bool format_in_order(std::size_t count, unsigned threads,
                     const std::function<void(std::size_t, TextChunk&)>& format,
                     const std::function<bool(std::string_view)>& write) {
    if (threads <= 1 || count <= 1) {
        return format_one_by_one(count, format, write);
    }
    return format_on_threads(count, threads, format, write);
}

}  // namespace kon2x
