// A sine for the oscillators' audio-rate loops. It agrees with std::sin to
// within about one unit in the last place, has no branches and makes no calls,
// so a loop over a block of phases vectorises; std::sin is a library call per
// sample and was a quarter of the plug-in's time.
#pragma once

namespace marrowtone
{
// x is reduced by whole multiples of pi to r in [-pi/2, pi/2] (pi held in two
// parts, so the reduction is exact to far below a double's precision for any
// phase an oscillator holds), then sin r is summed from its Taylor series up
// to r^21, whose first omitted term is below 2e-18 there.
inline double fastSine (double x) noexcept
{
    constexpr double inversePi = 0.31830988618379067154;
    constexpr double piHigh = 3.14159265346825122833;    // pi to 33 bits: k * piHigh is exact
    constexpr double piLow = 1.21542010130123844986e-10; // the rest of pi

    const auto k = (int) (x * inversePi + (x < 0.0 ? -0.5 : 0.5));
    const auto r = (x - k * piHigh) - k * piLow;
    const auto z = r * r;

    auto series = 1.0 / 51090942171709440000.0; // 1 / 21!
    series = 1.0 / 121645100408832000.0 - z * series;
    series = 1.0 / 355687428096000.0 - z * series;
    series = 1.0 / 1307674368000.0 - z * series;
    series = 1.0 / 6227020800.0 - z * series;
    series = 1.0 / 39916800.0 - z * series;
    series = 1.0 / 362880.0 - z * series;
    series = 1.0 / 5040.0 - z * series;
    series = 1.0 / 120.0 - z * series;
    series = 1.0 / 6.0 - z * series;
    const auto sine = r - r * z * series;

    // sin (r + k pi) = (-1)^k sin r
    return (k & 1) != 0 ? -sine : sine;
}
} // namespace marrowtone
