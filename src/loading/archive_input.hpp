// Little-endian reading of a binary archive, with the read-and-compare operations.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kon2x {

// Reads values from an archive stream. A read that meets the end of the file
// reports "Unerwartetes Dateiende in %s!\n" once and fails; every later read
// fails silently, so the reader stops where it is.
class ArchiveInput {
public:
    ArchiveInput(std::FILE* file, std::string source_name)
        : file_(file), source_name_(std::move(source_name)) {}

    bool bytes(unsigned char* out, std::size_t count);
    bool word(std::uint16_t& value);
    bool dword(std::uint32_t& value);

    // True once a read met the end of the file (the message has been shown).
    bool ended() const { return ended_; }
    const std::string& source_name() const { return source_name_; }

private:
    std::FILE* file_;
    std::string source_name_;
    bool ended_ = false;
};

// Decoding of little-endian fields from a record's bytes.
std::uint16_t word_at(const unsigned char* bytes);
std::uint32_t dword_at(const unsigned char* bytes);
std::int32_t int_at(const unsigned char* bytes);
float float_at(const unsigned char* bytes);
double double_at(const unsigned char* bytes);

// Read 2, 4 or 1 bytes and compare them with the expected value: 1 on a
// match; 0 on a mismatch, after printing "I: %d S: %d\n" (value read,
// expected; words as signed 16-bit, dwords as signed 32-bit, bytes as
// unsigned) to standard output; 0 at the end of the file, with no such line.
int expect_word(ArchiveInput& in, std::uint16_t expected);
int expect_dword(ArchiveInput& in, std::uint32_t expected);
int expect_byte(ArchiveInput& in, std::uint8_t expected);

// Reads a 16-bit name length and, only if it equals the expected name's
// length, the name's characters: 1 if they equal `name` exactly. Prints nothing.
int expect_class_name(ArchiveInput& in, std::string_view name);

}  // namespace kon2x
