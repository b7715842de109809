// Text-mode emulation: CR LF to LF, end at 0x1A, fgets-sized pieces.
#include "loading/text_lines.hpp"

#include <cstring>

namespace kon2x {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr char kEndOfText = '\x1A';

}  // namespace

TextLines::TextLines(std::FILE* file) : file_(file), raw_(kChunk), text_(kChunk + 1) {}

bool TextLines::rewind() {
    position_ = 0;
    end_ = 0;
    held_carriage_return_ = false;
    finished_ = false;
    std::clearerr(file_);
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

// Translates the next chunk of the file into text_. A CR at the end of a chunk
// is held back until the next byte shows whether it starts a CR LF.
bool TextLines::refill() {
    position_ = 0;
    end_ = 0;
    while (end_ == 0 && !finished_) {
        const std::size_t count = std::fread(raw_.data(), 1, raw_.size(), file_);
        if (count == 0) {
            finished_ = true;
            break;
        }
        char* out = text_.data();
        if (held_carriage_return_ && raw_[0] != '\n') {
            *out++ = '\r';
        }
        held_carriage_return_ = false;
        for (std::size_t i = 0; i < count; ++i) {
            const char c = raw_[i];
            if (c == kEndOfText) {
                finished_ = true;
                break;
            }
            if (c == '\r') {
                if (i + 1 == count) {
                    held_carriage_return_ = true;
                    break;
                }
                if (raw_[i + 1] == '\n') {
                    continue;
                }
            }
            *out++ = c;
        }
        end_ = static_cast<std::size_t>(out - text_.data());
    }
    if (finished_ && held_carriage_return_) {
        held_carriage_return_ = false;
        text_[end_++] = '\r';
    }
    return end_ > 0;
}

bool TextLines::next(std::string_view& piece) {
    std::size_t length = 0;
    while (length < kMaxPiece) {
        if (position_ == end_ && !refill()) {
            break;
        }
        const char* start = text_.data() + position_;
        const std::size_t wanted = kMaxPiece - length;
        const std::size_t available = end_ - position_ < wanted ? end_ - position_ : wanted;
        const void* line_feed = std::memchr(start, '\n', available);
        const std::size_t take =
            line_feed != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - start) + 1
                                 : available;
        position_ += take;
        if (length == 0 && (line_feed != nullptr || take == kMaxPiece)) {
            piece = std::string_view(start, take);  // whole piece inside the chunk
            return true;
        }
        std::memcpy(piece_ + length, start, take);
        length += take;
        if (line_feed != nullptr) {
            break;
        }
    }
    if (length == 0) {
        return false;
    }
    piece = std::string_view(piece_, length);
    return true;
}

}  // namespace kon2x
