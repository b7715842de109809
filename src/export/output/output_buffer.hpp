// A large output buffer handed to the file (or to memory) in big chunks.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace kon2x {

// Collects output and writes it in chunks of kChunkSize bytes. Write errors
// are remembered: once a write failed, ok() stays false and nothing more is
// written.
class OutputBuffer {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;
    // Texts of this size or more are handed on at once, without a copy.
    static constexpr std::size_t kDirectSize = std::size_t{1} << 16;

    // Output to an open file; the caller closes it after flush().
    explicit OutputBuffer(std::FILE* file);
    // Output appended to a string (tests).
    explicit OutputBuffer(std::string& memory);
    // Output counted and dropped (fuzzing, benchmarks), through a buffer that
    // starts at kDroppedChunkSize and grows as reserve() asks.
    OutputBuffer();
    static constexpr std::size_t kDroppedChunkSize = std::size_t{1} << 12;

    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    void write(std::string_view text) {
        if (text.size() >= kDirectSize) {
            write_direct(text);
            return;
        }
        if (text.size() > room()) {
            write_slow(text);
            return;
        }
        std::memcpy(buffer_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }

    // Returns space for at least `size` bytes (size <= kChunkSize); the caller
    // fills some of it and hands the end to commit().
    char* reserve(std::size_t size) {
        if (size > room()) {
            make_room(size);
        }
        return buffer_.data() + used_;
    }
    void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }

    // Writes what is buffered and flushes the file; false if any write failed.
    bool flush();
    bool ok() const { return ok_; }
    // Bytes handed on so far (written or dropped).
    std::size_t drained() const { return drained_; }

private:
    std::size_t room() const { return buffer_.size() - used_; }
    void write_slow(std::string_view text);
    void write_direct(std::string_view text);
    void hand_on(const char* data, std::size_t size);
    void drain();
    void make_room(std::size_t size);

    std::FILE* file_ = nullptr;
    std::string* memory_ = nullptr;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    std::size_t drained_ = 0;
    bool ok_ = true;
};

}  // namespace kon2x
