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
    std::optional<std::string_view> next() {
        const std::size_t size = line_.size();
        while (position_ < size && splits(line_[position_])) {
            ++position_;
        }
        if (position_ == size) {
            return std::nullopt;
        }
        const std::size_t start = position_;
        while (position_ < size && !splits(line_[position_])) {
            ++position_;
        }
        return line_.substr(start, position_ - start);
    }

private:
    bool splits(char c) const { return c == separator_ || c == '\n'; }

    std::string_view line_;
    char separator_;
    std::size_t position_ = 0;
};

// Whether `text` begins with `keyword`, compared without regard to ASCII case
// over exactly the keyword's letters.
bool begins_with_ignoring_case(std::string_view text, std::string_view keyword);

// An integer field: leading white space, an optional sign, decimal digits;
// reading stops at the first other character, no digits read as 0. Values
// beyond the int32 range are clamped to it.
std::int32_t parse_integer_slow(std::string_view field);
inline std::int32_t parse_integer(std::string_view field) {
    // Up to nine plain digits after an optional '-', the usual case, cannot overflow.
    const std::size_t sign = !field.empty() && field[0] == '-' ? 1 : 0;
    if (field.size() > sign && field.size() <= 9 + sign) {
        std::int32_t value = 0;
        std::size_t i = sign;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
            value = value * 10 + (field[i] - '0');
        }
        if (i == field.size()) {
            return sign != 0 ? -value : value;
        }
    }
    return parse_integer_slow(field);
}

// A real field: its first ',' is taken for '.', then a decimal number with an
// optional exponent is read whatever the locale, correctly rounded; no number
// reads as 0, magnitudes beyond the double range give infinity.
double parse_real(std::string_view field);

// Rounds a double to the nearest float32 (infinity beyond its range).
float to_float32(double value);

}  // namespace kon2x
