// Proves the oscillator follows std::sin over long runs, starts one step into
// its cycle, and keeps its phase when the frequency is set again or changed.
#include "SineGenerator.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr double twoPi = 6.283185307179586;
}

TEST (SineGenerator, FollowsStdSinForAMinuteOfSamples)
{
    struct Case
    {
        double sampleRate;
        double hz;
    };

    for (const auto c : { Case { 44100.0, 2.0 }, Case { 48000.0, 6.0 }, Case { 96000.0, 20.0 }, Case { 44100.0, 70.0 }, Case { 8000.0, 1234.5 } })
    {
        SineGenerator sine (c.sampleRate);
        sine.setFrequency (c.hz);
        const auto samples = (int) (60.0 * c.sampleRate);

        for (int n = 1; n <= samples; ++n)
        {
            // The reference phase is reduced exactly, independent of accumulation.
            const auto cycles = c.hz * n / c.sampleRate;
            const auto reference = std::sin (twoPi * (cycles - std::floor (cycles)));
            ASSERT_NEAR (sine.getNextSample(), reference, 1.0e-8) << c.hz << " Hz at " << c.sampleRate << ", sample " << n;
        }
    }
}

TEST (SineGenerator, FirstValueIsOneStepIntoTheCycle)
{
    SineGenerator sine (44100.0);
    sine.setFrequency (2.0);
    EXPECT_NEAR (sine.getNextSample(), std::sin (twoPi * 2.0 / 44100.0), 1.0e-15);
    EXPECT_NEAR (std::sin (twoPi * 2.0 / 44100.0), 0.000285, 5.0e-7);
}

TEST (SineGenerator, WithoutAFrequencyItStaysAtZero)
{
    SineGenerator sine (48000.0);
    for (int n = 0; n < 10; ++n)
        EXPECT_EQ (sine.getNextSample(), 0.0);
}

TEST (SineGenerator, SettingTheSameFrequencyAgainKeepsThePhaseRunning)
{
    SineGenerator resetEveryStep (48000.0);
    SineGenerator setOnce (48000.0);
    setOnce.setFrequency (70.0);

    for (int n = 0; n < 10000; ++n)
    {
        resetEveryStep.setFrequency (70.0);
        ASSERT_EQ (resetEveryStep.getNextSample(), setOnce.getNextSample()) << "sample " << n;
    }
}

TEST (SineGenerator, ChangingTheFrequencyContinuesFromTheCurrentPhase)
{
    SineGenerator sine (1000.0);
    sine.setFrequency (100.0);
    for (int n = 0; n < 3; ++n)
        sine.getNextSample(); // phase now 0.6 pi

    sine.setFrequency (50.0);
    EXPECT_NEAR (sine.getNextSample(), std::sin (0.7 * juce::MathConstants<double>::pi), 1.0e-12);
    EXPECT_NEAR (sine.getNextSample(), std::sin (0.8 * juce::MathConstants<double>::pi), 1.0e-12);
}
