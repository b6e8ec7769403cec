// The tape's soft saturation: a continued-fraction approximation of tanh that
// is exact enough for small signals and, unlike tanh, folds back beyond
// |x| ~ 3.05. That fold-back is part of the sound at high drive, so the input
// is deliberately not limited.
#pragma once

namespace marrowtone
{
// x / (1 + x^2 / (3 + x^2 / (5 + x^2 / 7))), cleared of its nested fractions:
// the same value to within a rounding of the double result, with one division
// instead of three, and it runs four times per sample and channel.
inline float saturate (float x) noexcept
{
    const double x2 = (double) (x * x);
    return (float) ((double) x * (105.0 + 10.0 * x2) / (105.0 + x2 * (45.0 + x2)));
}
} // namespace marrowtone
