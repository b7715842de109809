// The decimal conversion through std::strtod, for C libraries without
// std::from_chars for double. The text is only digits, a point and an
// exponent, so none of strtod's extras (spaces, signs, hexadecimal, "inf",
// "nan") can apply, and the program never sets LC_NUMERIC, so the point is '.'.
// strtod rounds correctly and gives infinity or 0 beyond the range, as the
// from_chars conversion does.
#include <cstdlib>

#include "loading/decimal_value.hpp"

namespace kon2x {

double decimal_value(char* text, std::size_t length) {
    text[length] = '\0';
    return std::strtod(text, nullptr);
}

}  // namespace kon2x
