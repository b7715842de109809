// A target without threads: every chunk is formatted on the calling thread.
#include "export/output/chunk_threads.hpp"

namespace kon2x {

unsigned hardware_threads() {
    return 1;
}

bool format_on_threads(std::size_t count, unsigned /*threads*/,
                       const std::function<void(std::size_t, TextChunk&)>& format,
                       const std::function<bool(std::string_view)>& write) {
    return format_one_by_one(count, format, write);
}

}  // namespace kon2x
