// Fixed-point text with six decimals, as the home platform's printf("%.6f") writes it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kon2x {

// Room that write_fixed6 may need: sign, 309 integer digits, point, six
// decimals; the fast path may write scratch bytes up to 8 beyond the end.
constexpr std::size_t kMaxFixed6Length = 320;

// Writes `value` with six decimals at `out` and returns the end. The value is
// taken to 17 significant digits, correctly rounded, and that digit string is
// rounded half up at the sixth decimal. Exact zero of either sign is
// "0.000000"; another negative value keeps its '-' even when it rounds to
// zero. Values that are not finite are written as "1.#INF00", "-1.#IND00",
// "1.#QNAN0" or "1.#SNAN0" with a '-' for a set sign bit.
char* write_fixed6(char* out, double value);

// The same through the 17-digit route alone, without the fast path.
char* write_fixed6_exact(char* out, double value);

}  // namespace kon2x
