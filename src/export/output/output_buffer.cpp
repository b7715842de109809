// Chunked, checked writing of the output buffer.
#include "export/output/output_buffer.hpp"

namespace kon2x {

OutputBuffer::OutputBuffer(std::FILE* file) : file_(file), buffer_(kChunkSize) {}

OutputBuffer::OutputBuffer(std::string& memory) : memory_(&memory), buffer_(kChunkSize) {}

OutputBuffer::OutputBuffer() : buffer_(kDroppedChunkSize) {}

void OutputBuffer::hand_on(const char* data, std::size_t size) {
    if (ok_ && size > 0) {
        if (memory_ != nullptr) {
            memory_->append(data, size);
        } else if (file_ != nullptr) {
            ok_ = std::fwrite(data, 1, size, file_) == size;
        }
        drained_ += size;
    }
}

void OutputBuffer::drain() {
    hand_on(buffer_.data(), used_);
    used_ = 0;
}

void OutputBuffer::make_room(std::size_t size) {
    drain();
    if (size > buffer_.size()) {
        buffer_.resize(size);
    }
}

void OutputBuffer::write_direct(std::string_view text) {
    drain();
    hand_on(text.data(), text.size());
}

void OutputBuffer::write_slow(std::string_view text) {
    while (!text.empty()) {
        if (room() == 0) {
            drain();
        }
        const std::size_t part = text.size() < room() ? text.size() : room();
        std::memcpy(buffer_.data() + used_, text.data(), part);
        used_ += part;
        text.remove_prefix(part);
    }
}

bool OutputBuffer::flush() {
    drain();
    if (ok_ && file_ != nullptr) {
        ok_ = std::fflush(file_) == 0;
    }
    return ok_;
}

}  // namespace kon2x
