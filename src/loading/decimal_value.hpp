// The value of a plain decimal number, correctly rounded, without the locale.
#pragma once

#include <cstddef>

namespace kon2x {

// Room for the text that decimal_value reads, its terminator included.
constexpr std::size_t kDecimalRoom = 1100;

// The double nearest to the number in text[0, length): digits with at most
// one '.', then optionally 'e', an optional '-' and at most nine digits; at
// least one digit before the exponent; no sign, no spaces. Beyond the range
// of doubles it is infinity, below the smallest it is 0. `text` has room for
// a terminator after `length` (length < kDecimalRoom), which it may write.
double decimal_value(char* text, std::size_t length);

}  // namespace kon2x
