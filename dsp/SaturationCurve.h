// The tape's soft saturation: a continued-fraction approximation of tanh that
// is exact enough for small signals and, unlike tanh, folds back beyond
// |x| ~ 3.05. That fold-back is part of the sound at high drive, so the input
// is deliberately not limited.
#pragma once

namespace marrowtone
{
inline float saturate (float x) noexcept
{
    const double x2 = (double) (x * x);
    return (float) ((double) x / (1.0 + x2 / (3.0 + x2 / (5.0 + x2 / 7.0))));
}
} // namespace marrowtone
