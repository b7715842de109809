// A piece of output text formatted in memory, reused from piece to piece.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace kon2x {

// Room is reserved before each write, as the output buffer offers it, and
// the chunk grows as needed; clear() keeps the room for the next piece.
class TextChunk {
public:
    char* reserve(std::size_t size) {
        if (text_.size() - used_ < size) {
            text_.resize(std::max(2 * text_.size(), used_ + size));
        }
        return text_.data() + used_;
    }
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - text_.data()); }
    void clear() { used_ = 0; }
    std::string_view view() const { return {text_.data(), used_}; }

private:
    std::vector<char> text_;
    std::size_t used_ = 0;
};

}  // namespace kon2x
