// Splitting text lines into fields and reading the numbers they hold.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kon2x {

// Walks the fields of one line. Fields are separated by the file's separator
// and by the line feed; runs of separators count as one, so no field is empty.
class FieldCursor {
public:
    FieldCursor(std::string_view line, char separator) : line_(line), separator_(separator) {}

    // The next field, or nothing at the end of the line.
    std::optional<std::string_view> next();

private:
    bool splits(char c) const { return c == separator_ || c == '\n'; }

    std::string_view line_;
    char separator_;
    std::size_t position_ = 0;
};

// An integer field: leading white space, an optional sign, decimal digits;
// reading stops at the first other character, no digits read as 0. Values
// beyond the int32 range are clamped to it.
std::int32_t parse_integer(std::string_view field);

// A real field: its first ',' is taken for '.', then a decimal number with an
// optional exponent is read whatever the locale, correctly rounded; no number
// reads as 0, magnitudes beyond the double range give infinity.
double parse_real(std::string_view field);

// Rounds a double to the nearest float32 (infinity beyond its range).
float to_float32(double value);

}  // namespace kon2x
