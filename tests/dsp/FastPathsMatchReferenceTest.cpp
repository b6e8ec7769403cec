// Proves the audio path's fast forms sound the same as the plain ones they
// replaced: a vectorisable sine, the one-division saturation curve, the
// stretch-at-a-time delay read, and with them the tone and wow/flutter chain,
// each against a straightforward reference kept here, to -120 dB or better.
#include "DemoMusic.h"
#include "FastSine.h"
#include "SaturationCurve.h"
#include "SineGenerator.h"
#include "VariableDelayLine.h"
#include "WahFlutter.h"

#include <gtest/gtest.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace
{
constexpr double twoPi = 6.283185307179586;

// ---- The plain forms -------------------------------------------------------

float referenceSaturate (float x)
{
    const double x2 = (double) (x * x);
    return (float) ((double) x / (1.0 + x2 / (3.0 + x2 / (5.0 + x2 / 7.0))));
}

class ReferenceSine
{
public:
    ReferenceSine (double sampleRate, double hz) :
        increment (hz / sampleRate * twoPi)
    {
    }

    double next()
    {
        phase += increment;
        if (phase > twoPi)
            phase -= twoPi;
        return std::sin (phase);
    }

private:
    double phase = 0.0, increment;
};

// One channel of a delay read by six-point Lagrange interpolation, each
// weight written out as the full product over its five factors.
class ReferenceDelayLine
{
public:
    ReferenceDelayLine (double maxMs, double sampleRate) :
        ring ((size_t) (int) (maxMs * sampleRate / 1000.0 + 1.0)),
        maxDelayMs (maxMs),
        rate (sampleRate)
    {
    }

    double process (float sample, double delayMs)
    {
        const auto length = (int) ring.size();
        ring[(size_t) writeIndex] = sample;
        writeIndex = (writeIndex + 1) % length;

        const auto d = std::isnan (delayMs) ? delayMs : std::clamp (delayMs, 0.0, maxDelayMs);
        const auto delaySamples = d * rate / 1000.0;
        if (std::isnan (delaySamples))
            return 0.0;

        auto p = writeIndex - delaySamples;
        if (p < 0.0)
            p += length;
        const auto i = (int) p;
        const auto t = p - i + 2.0;

        double sum = 0.0;
        for (int node = 0; node < 6; ++node)
        {
            double weight = 1.0;
            for (int other = 0; other < 6; ++other)
                if (other != node)
                    weight *= (t - other) / (double) (node - other);
            sum += weight * ring[(size_t) (((i - 2 + node) % length + length) % length)];
        }
        return (double) (float) sum;
    }

private:
    std::vector<float> ring;
    int writeIndex = 0;
    double maxDelayMs, rate;
};

class ReferenceWahFlutter
{
public:
    explicit ReferenceWahFlutter (double sampleRate) :
        wowLine (50.0, sampleRate),
        flutterLine (50.0, sampleRate),
        sines { { { sampleRate, 2.0 }, { sampleRate, 6.0 }, { sampleRate, 20.0 }, { sampleRate, 70.0 } } }
    {
    }

    void process (float* samples, int numSamples, float wow, float flutter)
    {
        for (int n = 0; n < numSamples; ++n)
        {
            const auto a = sines[0].next(), b = sines[1].next(), c = sines[2].next(), d = sines[3].next();
            const auto wowOffset = std::max ((float) ((0.3 * a + 0.7 * b) * (wow / 20.0)), -5.999f);
            const auto flutterOffset = std::max ((float) ((0.7 * c + 0.3 * d) * (flutter / 150.0)), -5.999f);
            samples[n] = (float) wowLine.process (samples[n], (double) (wowOffset + 6.0f));
            samples[n] = (float) flutterLine.process (samples[n], (double) (flutterOffset + 6.0f));
        }
    }

private:
    ReferenceDelayLine wowLine, flutterLine;
    std::array<ReferenceSine, 4> sines;
};

// ---- Comparison ------------------------------------------------------------

struct Difference
{
    double relativeRmsDb, largestRelativeToPeak;
};

Difference compare (const std::vector<float>& actual, const std::vector<float>& expected)
{
    double errorEnergy = 0.0, signalEnergy = 0.0, largestError = 0.0, peak = 0.0;
    for (size_t n = 0; n < expected.size(); ++n)
    {
        const auto error = (double) actual[n] - (double) expected[n];
        errorEnergy += error * error;
        signalEnergy += (double) expected[n] * expected[n];
        largestError = std::max (largestError, std::abs (error));
        peak = std::max (peak, (double) std::abs (expected[n]));
    }
    return { errorEnergy == 0.0 ? -400.0 : 10.0 * std::log10 (errorEnergy / signalEnergy), largestError / peak };
}

std::vector<float> demoChannel (double seconds, double sampleRate)
{
    const auto music = marrowtone::demo::composeDemoMusic (seconds, sampleRate);
    return { music.getReadPointer (0), music.getReadPointer (0) + music.getNumSamples() };
}
} // namespace

TEST (FastSine, AgreesWithStdSinToAboutAnUlpOverEveryPhaseAnOscillatorHolds)
{
    auto largest = 0.0;
    for (int k = -200000; k <= 400000; ++k)
    {
        const auto x = k * (twoPi / 200000.0) + 1.0e-7 * (k % 7);
        largest = std::max (largest, std::abs (marrowtone::fastSine (x) - std::sin (x)));
    }
    EXPECT_LE (largest, 3.0e-16);
}

TEST (SineGenerator, BlockOfValuesFollowsTheAccumulatedPhase)
{
    // Ten seconds at 70 Hz wraps the phase 700 times.
    constexpr double rate = 48000.0;
    SineGenerator sine (rate);
    sine.setFrequency (70.0);
    ReferenceSine reference (rate, 70.0);

    std::vector<double> values (4801);
    for (int block = 0; block < 100; ++block)
    {
        sine.getNextSamples (values.data(), (int) values.size());
        for (size_t n = 0; n < values.size(); ++n)
            ASSERT_NEAR (values[n], reference.next(), 1.0e-15) << "block " << block << ", sample " << n;
    }
}

TEST (SaturationCurve, OneDivisionFormMatchesTheContinuedFractionToTheLastBit)
{
    for (int k = -400000; k <= 400000; ++k)
    {
        const auto x = (float) k * 1.0e-4f * (1.0f + 0.37f * (float) (k % 3));
        const auto expected = referenceSaturate (x);
        const auto actual = marrowtone::saturate (x);
        ASSERT_LE (std::abs (actual - expected), std::abs (expected - std::nextafter (expected, 0.0f)) + 1.0e-30f)
            << "x = " << x;
    }
}

TEST (VariableDelayLine, BlockFormEqualsTheSampleFormAndBothMatchThePlainRead)
{
    constexpr double rate = 48000.0;
    const auto input = demoChannel (2.0, rate);

    // Delay patterns: the wow/flutter range, which takes the fast path; short
    // and near-maximum delays, which cross the edges of the fast path both
    // ways; and one with an occasional not-a-number.
    const std::function<double (int)> patterns[] {
        [] (int n)
        { return 6.0 + 4.2 * std::sin (n * 0.0003); },
        [] (int n)
        { return 0.05 * (n % 40); },
        [] (int n)
        { return 49.7 + 0.5 * std::sin (n * 0.01); },
        [] (int n)
        { return n % 1000 == 999 ? std::nan ("") : 3.0 + 0.8 * std::sin (n * 0.002); },
    };

    for (size_t p = 0; p < std::size (patterns); ++p)
    {
        VariableDelayLine blockLine (50.0f, 1, rate), sampleLine (50.0f, 1, rate);
        ReferenceDelayLine plainLine (50.0, rate);

        std::vector<float> blockOutput (input), sampleOutput (input.size()), plainOutput (input.size());
        std::vector<double> delays (input.size());
        for (size_t n = 0; n < input.size(); ++n)
            delays[n] = patterns[p]((int) n);

        // Uneven blocks, so stretches start at every offset.
        for (size_t start = 0, size = 1; start < input.size(); start += size, size = size % 97 + 13)
            blockLine.processSamples (blockOutput.data() + start, delays.data() + start,
                                      (int) std::min (size, input.size() - start), 0);
        for (size_t n = 0; n < input.size(); ++n)
        {
            sampleOutput[n] = (float) sampleLine.processValue (input[n], 0, delays[n]);
            plainOutput[n] = (float) plainLine.process (input[n], delays[n]);
        }

        for (size_t n = 0; n < input.size(); ++n)
            ASSERT_EQ (blockOutput[n], sampleOutput[n]) << "pattern " << p << ", sample " << n;

        const auto difference = compare (sampleOutput, plainOutput);
        EXPECT_LT (difference.relativeRmsDb, -120.0) << "pattern " << p;
        EXPECT_LT (difference.largestRelativeToPeak, 1.0e-6) << "pattern " << p;
    }
}

TEST (TapeChain, ToneAndWowFlutterStagesMatchThePlainChainWithin120Decibels)
{
    // Drive into the oversampled curve, then wow and flutter: the processor's
    // chain without the hiss, whose random draws differ on every run. The
    // oversampler is JUCE's in both chains; everything after it is ours.
    constexpr double rate = 48000.0;
    const auto input = demoChannel (3.0, rate);

    struct Case
    {
        float driveDb, wow, flutter;
        int blockSize;
    };
    const Case cases[] {
        { 0.0f, 2.0f, 2.0f, 512 },
        { 12.0f, 100.0f, 100.0f, 64 },
        { 24.0f, 40.0f, 75.0f, 2048 },
        { -6.0f, 0.0f, 0.0f, 1 },
        { 18.0f, 100.0f, 0.0f, 4097 },
    };

    for (const auto& c : cases)
    {
        const auto run = [&] (auto saturateSample, auto&& wahFlutter)
        {
            juce::dsp::Oversampling<float> oversampling (1, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, false);
            oversampling.initProcessing ((size_t) c.blockSize);
            std::vector<float> output (input);
            const auto gain = juce::Decibels::decibelsToGain (c.driveDb);

            for (size_t start = 0; start < output.size(); start += (size_t) c.blockSize)
            {
                const auto length = std::min ((size_t) c.blockSize, output.size() - start);
                float* channels[] { output.data() + start };
                juce::dsp::AudioBlock<float> block (channels, 1, length);
                block.multiplyBy (gain);
                auto upsampled = oversampling.processSamplesUp (block);
                for (size_t i = 0; i < upsampled.getNumSamples(); ++i)
                    upsampled.getChannelPointer (0)[i] = saturateSample (upsampled.getChannelPointer (0)[i]);
                oversampling.processSamplesDown (block);
                wahFlutter (output.data() + start, (int) length);
            }
            return output;
        };

        WahFlutter fast (rate);
        ReferenceWahFlutter plain (rate);
        const auto fastOutput = run ([] (float x)
                                     { return marrowtone::saturate (x); },
                                     [&] (float* s, int n)
                                     { fast.processSamples (s, n, c.wow, c.flutter); });
        const auto plainOutput = run (referenceSaturate,
                                      [&] (float* s, int n)
                                      { plain.process (s, n, c.wow, c.flutter); });

        const auto difference = compare (fastOutput, plainOutput);
        EXPECT_LT (difference.relativeRmsDb, -120.0) << c.driveDb << " dB, " << c.wow << "/" << c.flutter << ", blocks of " << c.blockSize;
        EXPECT_LT (difference.largestRelativeToPeak, 1.0e-6) << c.driveDb << " dB, " << c.wow << "/" << c.flutter << ", blocks of " << c.blockSize;
    }
}
