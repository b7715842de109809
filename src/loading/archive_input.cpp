// Checked little-endian reads and the archive's comparisons.
#include "loading/archive_input.hpp"

#include <cstring>
#include <vector>

#include "console/console.hpp"

namespace kon2x {

bool ArchiveInput::bytes(unsigned char* out, std::size_t count) {
    if (ended_) {
        return false;
    }
    if (std::fread(out, 1, count, file_) != count) {
        ended_ = true;
        return false;
    }
    return true;
}

bool ArchiveInput::fail(std::string message) {
    if (failure_.empty()) {
        failure_ = std::move(message);
    }
    return false;
}

void ArchiveInput::report_failure() const {
    report_and_wait(ended_ ? format_message("Unerwartetes Dateiende in %s!\n", source_name_.c_str())
                           : failure_);
}

bool ArchiveInput::word(std::uint16_t& value) {
    return decoded<2>(value, word_at);
}

bool ArchiveInput::dword(std::uint32_t& value) {
    return decoded<4>(value, dword_at);
}

std::uint16_t word_at(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

std::uint32_t dword_at(const unsigned char* bytes) {
    return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) | (std::uint32_t{bytes[2]} << 16) |
           (std::uint32_t{bytes[3]} << 24);
}

std::int32_t int_at(const unsigned char* bytes) {
    return static_cast<std::int32_t>(dword_at(bytes));
}

float float_at(const unsigned char* bytes) {
    const std::uint32_t bits = dword_at(bytes);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double double_at(const unsigned char* bytes) {
    const std::uint64_t bits = dword_at(bytes) | (std::uint64_t{dword_at(bytes + 4)} << 32);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

namespace {

// Compares a value read with the expected one; a mismatch prints both.
bool matches(long long read, long long expected) {
    if (read != expected) {
        write_out(format_message("I: %lld S: %lld\n", read, expected));
    }
    return read == expected;
}

}  // namespace

bool expect_word(ArchiveInput& in, std::uint16_t expected) {
    std::uint16_t value = 0;
    return in.word(value) && matches(static_cast<std::int16_t>(value), static_cast<std::int16_t>(expected));
}

bool expect_dword(ArchiveInput& in, std::uint32_t expected) {
    std::uint32_t value = 0;
    return in.dword(value) && matches(static_cast<std::int32_t>(value), static_cast<std::int32_t>(expected));
}

bool expect_byte(ArchiveInput& in, std::uint8_t expected) {
    unsigned char value = 0;
    return in.bytes(&value, 1) && matches(value, expected);
}

bool expect_class_name(ArchiveInput& in, std::string_view name) {
    std::uint16_t length = 0;
    if (!in.word(length) || length != name.size()) {
        return false;
    }
    std::vector<unsigned char> characters(length);
    return in.bytes(characters.data(), characters.size()) &&
           std::memcmp(characters.data(), name.data(), name.size()) == 0;
}

}  // namespace kon2x
