// Proves one channel's modulator delays by exactly 12 ms when still, swings
// each line's delay along the two-sine curves its depths ask for, and does not
// care how the host splits the signal into blocks.
#include "WahFlutter.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <vector>

namespace
{
constexpr double twoPi = 6.283185307179586;

std::vector<float> randomSignal (int samples)
{
    juce::Random random (1234);
    std::vector<float> signal ((size_t) samples);
    for (auto& sample : signal)
        sample = random.nextFloat() * 2.0f - 1.0f;
    return signal;
}

// The wow and flutter curves after `steps` oscillator steps, from the sines alone.
double wowCurve (int steps, double sampleRate)
{
    const auto theta = twoPi * 2.0 * steps / sampleRate;
    return 0.3 * std::sin (theta) + 0.7 * std::sin (3.0 * theta);
}

double flutterCurve (int steps, double sampleRate)
{
    const auto phi = twoPi * 20.0 * steps / sampleRate;
    return 0.7 * std::sin (phi) + 0.3 * std::sin (3.5 * phi);
}
} // namespace

TEST (WahFlutter, AtZeroDepthTheOutputIsTheInputOf574SamplesEarlierAt48k)
{
    // 6 ms is a whole 288 samples at 48 kHz, and each line returns a whole
    // delay of D samples as the input of D - 1 calls earlier.
    WahFlutter modulator (48000.0);
    const auto input = randomSignal (4000);
    auto output = input;
    modulator.processSamples (output.data(), (int) output.size(), 0.0f, 0.0f);

    for (size_t n = 0; n < output.size(); ++n)
        ASSERT_EQ (output[n], n < 574 ? 0.0f : input[n - 574]) << "sample " << n;
}

TEST (WahFlutter, EachLineSwingsAlongItsCurveAroundSixMilliseconds)
{
    // A ramp passes both lines unbent (the interpolation is exact for it), so
    // the delay of the moving line can be read back from every output sample.
    // The still line delays by 287 calls, so the moving line's sample index
    // lags the output by 287 when it comes first.
    struct Case
    {
        float wow;
        float flutter;
        int lag;
        std::function<double (int, double)> offsetMs;
    };
    const Case cases[] = {
        { 100.0f, 0.0f, 287, [] (int steps, double rate)
          { return wowCurve (steps, rate) * 100.0 / 20.0; } },
        { 37.0f, 0.0f, 287, [] (int steps, double rate)
          { return wowCurve (steps, rate) * 37.0 / 20.0; } },
        { 0.0f, 100.0f, 0, [] (int steps, double rate)
          { return flutterCurve (steps, rate) * 100.0 / 150.0; } },
        { 0.0f, 2.0f, 0, [] (int steps, double rate)
          { return flutterCurve (steps, rate) * 2.0 / 150.0; } },
    };
    const double sampleRate = 48000.0;

    for (const auto& c : cases)
    {
        WahFlutter modulator (sampleRate);
        std::vector<float> signal (48000);
        for (size_t n = 0; n < signal.size(); ++n)
            signal[n] = (float) n / 1024.0f;
        modulator.processSamples (signal.data(), (int) signal.size(), c.wow, c.flutter);

        for (int n = 1000; n < (int) signal.size(); ++n)
        {
            const auto measuredSamples = n - 286 - 1024.0 * signal[(size_t) n];
            const auto expectedSamples = (6.0 + c.offsetMs (n - c.lag + 1, sampleRate)) * sampleRate / 1000.0;
            ASSERT_NEAR (measuredSamples, expectedSamples, 0.01) << c.wow << "/" << c.flutter << ", sample " << n;
        }
    }
}

TEST (WahFlutter, FullWowMovesTheDelayBetweenAbout1Point72And10Point28Milliseconds)
{
    const double sampleRate = 48000.0;
    WahFlutter modulator (sampleRate);
    std::vector<float> signal (24000 + 2000);
    for (size_t n = 0; n < signal.size(); ++n)
        signal[n] = (float) n / 1024.0f;
    modulator.processSamples (signal.data(), (int) signal.size(), 100.0f, 0.0f);

    auto shortest = 1.0e9;
    auto longest = 0.0;
    for (int n = 2000; n < (int) signal.size(); ++n) // one whole 0.5 s period
    {
        const auto delayMs = (n - 286 - 1024.0 * signal[(size_t) n]) * 1000.0 / sampleRate;
        shortest = std::min (shortest, delayMs);
        longest = std::max (longest, delayMs);
    }

    EXPECT_NEAR (shortest, 6.0 - 4.276, 0.002);
    EXPECT_NEAR (longest, 6.0 + 4.276, 0.002);
}

TEST (WahFlutter, BlockSplitsAndEmptyBlocksDoNotChangeTheOutput)
{
    const auto input = randomSignal (20000);

    WahFlutter whole (44100.0);
    auto expected = input;
    whole.processSamples (expected.data(), (int) expected.size(), 63.0f, 41.0f);

    WahFlutter pieces (44100.0);
    auto actual = input;
    const int sizes[] = { 0, 1, 17, 0, 512, 333, -5, 4096, 1 };
    size_t position = 0;
    for (size_t i = 0; position < actual.size(); ++i)
    {
        const auto size = std::min (sizes[i % std::size (sizes)], (int) (actual.size() - position));
        pieces.processSamples (actual.data() + position, size, 63.0f, 41.0f);
        position += (size_t) std::max (size, 0);
    }

    for (size_t n = 0; n < input.size(); ++n)
        ASSERT_EQ (actual[n], expected[n]) << "sample " << n;
}

TEST (WahFlutter, DepthsFarBeyondTheParameterRangeStayFiniteAndBounded)
{
    for (const auto depth : { 1000.0f, 1.0e6f, -1.0e6f })
    {
        WahFlutter modulator (44100.0);
        auto signal = randomSignal (44100);
        modulator.processSamples (signal.data(), (int) signal.size(), depth, depth);

        for (const auto sample : signal)
        {
            ASSERT_TRUE (std::isfinite (sample)) << depth;
            ASSERT_LE (std::abs (sample), 2.0f) << depth;
        }
    }
}
