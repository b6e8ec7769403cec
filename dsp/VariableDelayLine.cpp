// Fractional-delay read by six-point Lagrange interpolation.
#include "VariableDelayLine.h"

#include <cmath>

namespace
{
// The interpolation window is six samples wide, so the ring must hold at least
// that many for the window to wrap only once.
constexpr int shortestLength = 6;

int ringLength (float maxDelayMs, double sampleRate)
{
    return juce::jmax (shortestLength, (int) ((double) maxDelayMs * sampleRate / 1000.0 + 1.0));
}
} // namespace

VariableDelayLine::VariableDelayLine (float maximumDelayMs, int channels, double rate)
    : DelayLine (channels, ringLength (maximumDelayMs, rate)),
      maxDelayMs ((double) maximumDelayMs),
      sampleRate (rate)
{
}

double VariableDelayLine::processValue (float sample, int channel, double delayMs) noexcept
{
    // A line cannot read ahead of what it was given, and a not-a-number delay
    // must survive the limits so that it can be answered with silence below.
    const auto limitedMs = delayMs > maxDelayMs ? maxDelayMs : (delayMs < 0.0 ? 0.0 : delayMs);

    write (sample, channel);

    const auto delaySamples = limitedMs * sampleRate / 1000.0;
    if (std::isnan (delaySamples))
        return 0.0;

    // Measured from the position after the one just written, so a delay of one
    // sample period returns the newest sample.
    auto position = (double) writeIndex[(size_t) channel] - delaySamples;
    if (position < 0.0)
        position += length;

    const auto index = (int) position;
    const auto t = position - index + 2.0;

    const auto* samples = buffer.getReadPointer (channel);
    const auto node = [&] (int offset)
    {
        auto nodeIndex = index + offset;
        if (nodeIndex < 0)
            nodeIndex += length;
        else if (nodeIndex >= length)
            nodeIndex -= length;
        return (double) samples[nodeIndex];
    };

    const auto t0 = t;
    const auto t1 = t - 1.0;
    const auto t2 = t - 2.0;
    const auto t3 = t - 3.0;
    const auto t4 = t - 4.0;
    const auto t5 = t - 5.0;

    const auto w0 = -t1 * t2 * t3 * t4 * t5 / 120.0;
    const auto w1 = t0 * t2 * t3 * t4 * t5 / 24.0;
    const auto w2 = -t0 * t1 * t3 * t4 * t5 / 12.0;
    const auto w3 = t0 * t1 * t2 * t4 * t5 / 12.0;
    const auto w4 = -t0 * t1 * t2 * t3 * t5 / 24.0;
    const auto w5 = t0 * t1 * t2 * t3 * t4 / 120.0;

    const auto value = w0 * node (-2) + w1 * node (-1) + w2 * node (0)
        + w3 * node (1) + w4 * node (2) + w5 * node (3);

    return (double) (float) value;
}
