// Proves the delay lines return exactly delayed pulse trains for whole-sample
// delays, interpolate fractional delays exactly for low-order polynomials, and
// keep working through over-long and not-a-number delays.
#include "VariableDelayLine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
// A quintic over calls 0 to span, kept within a few units so single precision
// holds it well; six-point Lagrange interpolation reproduces it exactly, while
// a linear read would miss its curvature by far more than the tolerance.
double quintic (double n, double span)
{
    const auto x = 2.0 * n / span - 1.0;
    return 0.7 * x * x * x * x * x - 0.4 * x * x * x * x + x * x * x - 0.9 * x * x + 0.2 * x - 0.1;
}
} // namespace

TEST (DelayLine, ReturnsEachSampleOneLengthLater)
{
    // The buffer length follows from the 50 ms line the modulator builds.
    struct Case
    {
        double sampleRate;
        int length;
    };

    for (const auto c : { Case { 44100.0, 2206 }, Case { 48000.0, 2401 }, Case { 96000.0, 4801 } })
    {
        VariableDelayLine line (50.0f, 1, c.sampleRate);
        DelayLine& fixed = line;

        for (int call = 0; call < 3 * c.length; ++call)
        {
            const auto input = (float) (call + 1);
            const auto expected = call < c.length ? 0.0f : (float) (call - c.length + 1);
            ASSERT_EQ (fixed.processValue (input, 0), expected) << c.sampleRate << " Hz, call " << call;
        }
    }
}

TEST (DelayLine, KeepsChannelsApart)
{
    VariableDelayLine line (1.0f, 2, 10000.0); // 11 samples per channel
    DelayLine& fixed = line;

    for (int call = 0; call < 30; ++call)
    {
        const auto left = fixed.processValue ((float) call, 0);
        const auto right = fixed.processValue ((float) -call, 1);
        EXPECT_EQ (left, call < 11 ? 0.0f : (float) (call - 11));
        EXPECT_EQ (right, call < 11 ? 0.0f : (float) -(call - 11));
    }
}

TEST (VariableDelayLine, WholeNumberDelayReturnsTheInputOneCallFewerEarlier)
{
    // A pulse train with a different value each time, so any off-by-one shows.
    const double sampleRate = 48000.0;
    for (const int delaySamples : { 1, 2, 3, 4, 48, 288, 2399 })
    {
        VariableDelayLine line (50.0f, 1, sampleRate);
        const auto delayMs = delaySamples * 1000.0 / sampleRate;
        std::vector<float> input;

        for (int call = 0; call < 6000; ++call)
        {
            input.push_back (call % 7 == 0 ? (float) (call + 1) : 0.0f);
            const auto output = line.processValue (input.back(), 0, delayMs);
            const auto source = call - (delaySamples - 1);
            const auto expected = source >= 0 ? input[(size_t) source] : 0.0f;
            ASSERT_EQ (output, (double) expected) << "delay " << delaySamples << ", call " << call;
        }
    }
}

TEST (VariableDelayLine, FractionalDelayInterpolatesPolynomialsExactly)
{
    // 2 ms at 44100 Hz is 88.2 samples: the output lies 0.2 of the way from the
    // input 87 calls earlier towards the one 88 calls earlier.
    struct Case
    {
        double sampleRate;
        double delayMs;
    };

    for (const auto c : { Case { 44100.0, 2.0 }, Case { 48000.0, 6.01 }, Case { 96000.0, 10.28 }, Case { 44100.0, 0.5 } })
    {
        VariableDelayLine line (50.0f, 1, c.sampleRate);
        const auto delaySamples = c.delayMs * c.sampleRate / 1000.0;
        const auto span = std::ceil (delaySamples) + 100.0;

        for (int call = 0; call <= (int) span; ++call)
        {
            const auto output = line.processValue ((float) quintic (call, span), 0, c.delayMs);
            if (call > delaySamples + 4)
            {
                ASSERT_NEAR (output, quintic (call + 1 - delaySamples, span), 1.0e-6) << c.delayMs << " ms, call " << call;
            }
        }
    }
}

TEST (VariableDelayLine, HalfwayBetweenSamplesUsesTheSymmetricLagrangeWeights)
{
    // An impulse read 10.5 samples later spreads over six outputs whose values
    // are the interpolation weights themselves.
    VariableDelayLine line (50.0f, 1, 1000.0);
    std::vector<double> outputs;

    for (int call = 0; call < 20; ++call)
        outputs.push_back (line.processValue (call == 0 ? 1.0f : 0.0f, 0, 10.5));

    const double weights[] = { 3.0, -25.0, 150.0, 150.0, -25.0, 3.0 };
    for (int call = 0; call < 20; ++call)
    {
        const auto tap = call - 7;
        const auto expected = tap >= 0 && tap < 6 ? weights[tap] / 256.0 : 0.0;
        EXPECT_NEAR (outputs[(size_t) call], expected, 1.0e-7) << "call " << call;
    }
}

TEST (VariableDelayLine, DelayLongerThanTheLineActsAsTheLongestDelay)
{
    VariableDelayLine clamped (50.0f, 1, 44100.0);
    VariableDelayLine longest (50.0f, 1, 44100.0);

    for (int call = 0; call < 10000; ++call)
    {
        const auto input = (float) std::sin (call * 0.01);
        ASSERT_EQ (clamped.processValue (input, 0, 80.0), longest.processValue (input, 0, 50.0)) << "call " << call;
    }
}

TEST (VariableDelayLine, NotANumberDelayGivesSilenceOnceAndKeepsTheSample)
{
    VariableDelayLine line (50.0f, 1, 1000.0);

    EXPECT_EQ (line.processValue (1.0f, 0, 1.0), 1.0);
    EXPECT_EQ (line.processValue (2.0f, 0, std::nan ("")), 0.0);
    EXPECT_EQ (line.processValue (3.0f, 0, 2.0), 2.0);
    EXPECT_EQ (line.processValue (4.0f, 0, 4.0), 1.0);
}

TEST (VariableDelayLine, NegativeOrTinyDelaysStayFiniteAndBounded)
{
    // Such delays read a window that straddles the newest and oldest samples;
    // what they return is not musical, but it must never leave the buffer.
    VariableDelayLine line (50.0f, 1, 44100.0);

    for (int call = 0; call < 5000; ++call)
    {
        const double delays[] = { -1.0e9, -3.0, -1.0e-300, 0.0, 1.0e-300, 0.01, -std::numeric_limits<double>::infinity() };
        const auto output = line.processValue ((float) std::sin (call * 0.1), 0, delays[call % 7]);
        ASSERT_TRUE (std::isfinite (output));
        ASSERT_LE (std::abs (output), 4.0);
    }
}
