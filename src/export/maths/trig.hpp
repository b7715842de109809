// Sine and cosine computed the same way on every platform.
#pragma once

namespace kon2x {

// sin(x) and cos(x) for x in radians, within one unit in the last place for
// every finite x; NaN for infinities and NaN. Double and integer arithmetic
// only: no platform library is involved, so every build gives the same bits
// (the x87-based libraries of some Windows toolchains differ in the last bit).
void sin_cos(double x, double& sine, double& cosine);

}  // namespace kon2x
