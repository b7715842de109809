// Checked little-endian reads and the archive's comparisons.
#include "loading/archive_input.hpp"

#include <cstring>
#include <vector>

#include "driver/console.hpp"

namespace kon2x {

bool ArchiveInput::bytes(unsigned char* out, std::size_t count) {
    if (ended_) {
        return false;
    }
    if (std::fread(out, 1, count, file_) != count) {
        ended_ = true;
        report_and_wait(format_message("Unerwartetes Dateiende in %s!\n", source_name_.c_str()));
        return false;
    }
    return true;
}

bool ArchiveInput::word(std::uint16_t& value) {
    unsigned char raw[2];
    if (!bytes(raw, sizeof raw)) {
        return false;
    }
    value = word_at(raw);
    return true;
}

bool ArchiveInput::dword(std::uint32_t& value) {
    unsigned char raw[4];
    if (!bytes(raw, sizeof raw)) {
        return false;
    }
    value = dword_at(raw);
    return true;
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

int report_mismatch(long long read, long long expected) {
    write_out(format_message("I: %lld S: %lld\n", read, expected));
    return 0;
}

}  // namespace

int expect_word(ArchiveInput& in, std::uint16_t expected) {
    std::uint16_t value = 0;
    if (!in.word(value)) {
        return 0;
    }
    if (value != expected) {
        return report_mismatch(static_cast<std::int16_t>(value), static_cast<std::int16_t>(expected));
    }
    return 1;
}

int expect_dword(ArchiveInput& in, std::uint32_t expected) {
    std::uint32_t value = 0;
    if (!in.dword(value)) {
        return 0;
    }
    if (value != expected) {
        return report_mismatch(static_cast<std::int32_t>(value), static_cast<std::int32_t>(expected));
    }
    return 1;
}

int expect_byte(ArchiveInput& in, std::uint8_t expected) {
    unsigned char value = 0;
    if (!in.bytes(&value, 1)) {
        return 0;
    }
    if (value != expected) {
        return report_mismatch(value, expected);
    }
    return 1;
}

int expect_class_name(ArchiveInput& in, std::string_view name) {
    std::uint16_t length = 0;
    if (!in.word(length) || length != name.size()) {
        return 0;
    }
    std::vector<unsigned char> characters(length);
    if (!in.bytes(characters.data(), characters.size())) {
        return 0;
    }
    return std::memcmp(characters.data(), name.data(), name.size()) == 0 ? 1 : 0;
}

}  // namespace kon2x
