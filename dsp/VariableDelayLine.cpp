// Fractional-delay read by six-point Lagrange interpolation.
#include "VariableDelayLine.h"

#include "VectorClones.h"

#include <cmath>

namespace
{
// The interpolation window is six samples wide, so the ring must hold at least
// that many for the window to wrap only once.
constexpr int shortestLength = 6;

// The block form works in stretches of this many samples; see processSamples.
constexpr int stretchLength = 16;

int ringLength (float maxDelayMs, double sampleRate)
{
    return juce::jmax (shortestLength, (int) ((double) maxDelayMs * sampleRate / 1000.0 + 1.0));
}

// The Lagrange polynomial through y0 ... y5 at abscissae 0 ... 5, evaluated at
// t0. The weights share their factors (t - j): each is a product of a prefix
// and a suffix of them. Their denominators 120, 24, 12, 12, 24, 120 are taken
// out as one factor of 1/120; a whole-number delay (t0 = 2) still returns y2
// exactly, as 120 y2 times that factor rounds back to y2.
forcedinline double lagrange (double t0, double y0, double y1, double y2, double y3, double y4, double y5) noexcept
{
    const auto t1 = t0 - 1.0;
    const auto t2 = t0 - 2.0;
    const auto t3 = t0 - 3.0;
    const auto t4 = t0 - 4.0;
    const auto t5 = t0 - 5.0;

    const auto t01 = t0 * t1;
    const auto t012 = t01 * t2;
    const auto t0123 = t012 * t3;
    const auto t45 = t4 * t5;
    const auto t345 = t3 * t45;
    const auto t2345 = t2 * t345;

    const auto scaledSum = -t1 * t2345 * y0 + 5.0 * t0 * t2345 * y1 - 10.0 * t01 * t345 * y2
        + 10.0 * t012 * t45 * y3 - 5.0 * t0123 * t5 * y4 + t0123 * t4 * y5;

    return (double) (float) (scaledSum * (1.0 / 120.0));
}
} // namespace

VariableDelayLine::VariableDelayLine (float maximumDelayMs, int channels, double rate) :
    DelayLine (channels, ringLength (maximumDelayMs, rate)),
    maxDelayMs ((double) maximumDelayMs),
    sampleRate (rate)
{
}

forcedinline double VariableDelayLine::delayInSamples (double delayMs) const noexcept
{
    // A line cannot read ahead of what it was given, and a not-a-number delay
    // must survive the limits so that it can be answered with silence.
    const auto limitedMs = delayMs > maxDelayMs ? maxDelayMs : (delayMs < 0.0 ? 0.0 : delayMs);
    return limitedMs * sampleRate / 1000.0;
}

double VariableDelayLine::processValue (float sample, int channel, double delayMs) noexcept
{
    write (sample, channel);

    const auto delaySamples = delayInSamples (delayMs);
    if (std::isnan (delaySamples))
        return 0.0;

    // Measured from the position after the one just written, so a delay of one
    // sample period returns the newest sample.
    auto position = (double) writeIndex[(size_t) channel] - delaySamples;
    if (position < 0.0)
        position += length;

    const auto index = (int) position;
    const auto* samples = buffer.getReadPointer (channel);

    // Nodes y0 ... y5 sit at index - 2 ... index + 3, wrapped into the ring.
    double y[6];
    for (int node = 0; node < 6; ++node)
    {
        auto nodeIndex = index - 2 + node;
        if (nodeIndex < 0)
            nodeIndex += length;
        else if (nodeIndex >= length)
            nodeIndex -= length;
        y[node] = (double) samples[nodeIndex];
    }

    return lagrange (position - index + 2.0, y[0], y[1], y[2], y[3], y[4], y[5]);
}

MARROWTONE_WIDE_VECTOR_CLONES
void VariableDelayLine::processSamples (float* samples, const double* delaysMs, int numSamples, int channel) noexcept
{
    for (int start = 0; start < numSamples; start += stretchLength)
    {
        const auto count = juce::jmin (stretchLength, numSamples - start);
        auto* stretch = samples + start;
        const auto* delays = delaysMs + start;

        // Writing a whole stretch before reading it changes nothing as long as
        // no read window reaches the ring slots that later samples of the
        // stretch overwrite. A window ends three samples short of its delay,
        // so it stays behind the newest sample for delays of more than 3
        // samples, and it starts clear of the slots ahead (the oldest
        // samples) for delays shorter than the ring less a stretch and a
        // window. The wow and flutter delays always qualify; any other
        // stretch goes sample by sample.
        double delaySamples[stretchLength];
        auto windowsInThePast = true;
        for (int i = 0; i < count; ++i)
        {
            delaySamples[i] = delayInSamples (delays[i]);
            windowsInThePast = windowsInThePast && delaySamples[i] > 3.0
                && delaySamples[i] <= (double) (length - stretchLength - 4);
        }

        if (!windowsInThePast)
        {
            for (int i = 0; i < count; ++i)
                stretch[i] = (float) processValue (stretch[i], channel, delays[i]);
            continue;
        }

        const auto firstWrite = writeIndex[(size_t) channel];
        for (int i = 0; i < count; ++i)
            write (stretch[i], channel);

        // Gathered first, so the arithmetic below runs on whole vectors.
        const auto* ring = buffer.getReadPointer (channel);
        double t[stretchLength], y[6][stretchLength];
        for (int i = 0; i < count; ++i)
        {
            auto writtenUpTo = firstWrite + i + 1;
            if (writtenUpTo >= length)
                writtenUpTo -= length;

            auto position = (double) writtenUpTo - delaySamples[i];
            if (position < 0.0)
                position += length;

            const auto index = (int) position;
            t[i] = position - index + 2.0;
            const auto windowWraps = index < 2 || index + 3 >= length;
            for (int node = 0; node < 6; ++node)
            {
                auto nodeIndex = index - 2 + node;
                if (windowWraps)
                    nodeIndex = nodeIndex < 0 ? nodeIndex + length : (nodeIndex >= length ? nodeIndex - length : nodeIndex);
                y[node][i] = (double) ring[nodeIndex];
            }
        }

        for (int i = 0; i < count; ++i)
            stretch[i] = (float) lagrange (t[i], y[0][i], y[1][i], y[2][i], y[3][i], y[4][i], y[5][i]);
    }
}
