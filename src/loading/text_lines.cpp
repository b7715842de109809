// Text-mode emulation: CR LF to LF, end at 0x1A, fgets-sized pieces.
#include "loading/text_lines.hpp"

#include <cstring>

namespace kon2x {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
constexpr char kEndOfText = '\x1A';

}  // namespace

TextLines::TextLines(std::FILE* file) : file_(file), text_(kChunk + 1) {}

bool TextLines::rewind() {
    position_ = 0;
    end_ = 0;
    held_carriage_return_ = false;
    finished_ = false;
    std::clearerr(file_);
    return std::fseek(file_, 0, SEEK_SET) == 0;
}

// Reads the next chunk of the file into text_ and translates it in place:
// CR LF becomes LF, the text ends at the first 0x1A. A CR at the end of a
// chunk is held back until the next byte shows whether it starts a CR LF; it
// then goes into the byte reserved before the chunk.
bool TextLines::refill() {
    position_ = 0;
    end_ = 0;
    while (end_ == 0 && !finished_) {
        char* const chunk = text_.data() + 1;
        std::size_t count = std::fread(chunk, 1, kChunk, file_);
        if (count == 0) {
            finished_ = true;
        }
        std::size_t start = 1;
        if (held_carriage_return_ && (count == 0 || chunk[0] != '\n')) {
            text_[0] = '\r';
            start = 0;
        }
        held_carriage_return_ = false;
        if (const void* end_of_text = std::memchr(chunk, kEndOfText, count)) {
            count = static_cast<std::size_t>(static_cast<const char*>(end_of_text) - chunk);
            finished_ = true;
        }
        std::size_t out = 0;  // translated bytes, written over the chunk
        std::size_t in = 0;
        while (in < count) {
            const void* found = std::memchr(chunk + in, '\r', count - in);
            const std::size_t stop =
                found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - chunk) : count;
            if (out != in) {
                std::memmove(chunk + out, chunk + in, stop - in);
            }
            out += stop - in;
            in = stop;
            if (found == nullptr) {
                break;
            }
            ++in;  // past the CR
            if (in == count && !finished_) {
                held_carriage_return_ = true;  // decided by the next chunk
            } else if (in == count || chunk[in] != '\n') {
                chunk[out++] = '\r';
            }
        }
        position_ = start;
        end_ = 1 + out;
        if (end_ == position_) {
            position_ = end_ = 0;
        }
    }
    return end_ > position_;
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
