// Little-endian reading of a binary archive, with the read-and-compare operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kon2x {

// Decoding of little-endian fields from a record's bytes.
std::uint16_t word_at(const unsigned char* bytes);
std::uint32_t dword_at(const unsigned char* bytes);
std::int32_t int_at(const unsigned char* bytes);
float float_at(const unsigned char* bytes);
double double_at(const unsigned char* bytes);

// Reads values from an archive stream. A read that meets the end of the file
// fails, and so does every later one, so the reader stops where it is. The
// input also keeps why reading stopped, for the one report at the end.
class ArchiveInput {
public:
    ArchiveInput(std::FILE* file, std::string source_name)
        : file_(file), source_name_(std::move(source_name)) {}

    bool bytes(unsigned char* out, std::size_t count);
    bool word(std::uint16_t& value);
    bool dword(std::uint32_t& value);

    // True once a read met the end of the file.
    bool ended() const { return ended_; }

    // Keeps `message` as the reason for stopping (the first one counts) and
    // returns false.
    bool fail(std::string message);
    // Shows why reading stopped through report_and_wait: "Unerwartetes
    // Dateiende in %s!\n" when a read met the end of the file, else the kept
    // message.
    void report_failure() const;

private:
    // Reads `Size` bytes and decodes them into `value`; false at the end of the file.
    template <std::size_t Size, typename Value>
    bool decoded(Value& value, Value (*decode)(const unsigned char*)) {
        unsigned char raw[Size];
        if (!bytes(raw, Size)) {
            return false;
        }
        value = decode(raw);
        return true;
    }

    std::FILE* file_;
    std::string source_name_;
    std::string failure_;
    bool ended_ = false;
};

// A class tag as the messages show it with %x: signed 16-bit, widened to 32
// bits (0x8033 shows as ffff8033).
inline unsigned tag_as_shown(std::uint16_t tag) {
    return static_cast<unsigned>(static_cast<std::int32_t>(static_cast<std::int16_t>(tag)));
}

// Read 2, 4 or 1 bytes and compare them with the expected value: true on a
// match; false on a mismatch, after printing "I: %d S: %d\n" (value read,
// expected; words as signed 16-bit, dwords as signed 32-bit, bytes as
// unsigned) to standard output; false at the end of the file, with no such line.
bool expect_word(ArchiveInput& in, std::uint16_t expected);
bool expect_dword(ArchiveInput& in, std::uint32_t expected);
bool expect_byte(ArchiveInput& in, std::uint8_t expected);

// Reads a 16-bit name length and, only if it equals the expected name's
// length, the name's characters: true if they equal `name` exactly. Prints nothing.
bool expect_class_name(ArchiveInput& in, std::string_view name);

}  // namespace kon2x
