// Reads a file as text, line by line, the same way on every platform.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>
#include <vector>

namespace kon2x {

// Delivers the text of a file in pieces of at most kMaxPiece characters, each
// ending after its first line feed, as a 1024-byte fgets buffer would. The
// text is the file's bytes with every CR LF read as one line feed (a lone CR
// stays a character) up to the first byte 0x1A, which ends it.
class TextLines {
public:
    static constexpr std::size_t kMaxPiece = 1023;

    explicit TextLines(std::FILE* file);

    // The next piece, valid until the next call; false at the end of the text.
    bool next(std::string_view& piece);
    // Starts again at the first byte of the file; false if the file cannot seek.
    bool rewind();

private:
    bool refill();

    std::FILE* file_;
    std::vector<char> text_;  // one byte for a held CR, then the chunk
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    bool held_carriage_return_ = false;
    bool finished_ = false;
    char piece_[kMaxPiece + 1] = {};
};

}  // namespace kon2x
