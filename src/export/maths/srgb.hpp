// The sRGB transfer function for colour bytes.
#pragma once

#include <cstdint>

namespace kon2x {

// The linear intensity of the sRGB colour byte `byte` (0 gives 0, 255 gives 1),
// the nearest double to the exact value.
double linear_from_srgb(std::uint8_t byte);

}  // namespace kon2x
