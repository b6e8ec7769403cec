// Proves the hiss has the level and spectrum of uniform white noise through the
// six designed filters (checked against the cookbook formulas, band by band),
// runs on seamlessly across blocks, differs between generators, and stays
// stable at every host rate.
#include "NoiseGenerator.h"

#include <gtest/gtest.h>
#include <juce_dsp/juce_dsp.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace
{
using Complex = std::complex<double>;

struct Biquad
{
    double b0, b1, b2, a0, a1, a2;

    double powerAt (double hz, double sampleRate) const
    {
        const auto z1 = std::polar (1.0, -2.0 * juce::MathConstants<double>::pi * hz / sampleRate);
        const auto z2 = z1 * z1;
        return std::norm ((b0 + b1 * z1 + b2 * z2) / (a0 + a1 * z1 + a2 * z2));
    }
};

// Robert Bristow-Johnson's audio EQ cookbook, written out independently.
Biquad highPass (double hz, double q, double rate)
{
    const auto w = 2.0 * juce::MathConstants<double>::pi * hz / rate;
    const auto alpha = std::sin (w) / (2.0 * q);
    const auto c = std::cos (w);
    return { (1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, 1.0 + alpha, -2.0 * c, 1.0 - alpha };
}

Biquad peak (double hz, double q, double db, double rate)
{
    const auto a = std::pow (10.0, db / 40.0);
    const auto w = 2.0 * juce::MathConstants<double>::pi * hz / rate;
    const auto alpha = std::sin (w) / (2.0 * q);
    const auto c = std::cos (w);
    return { 1.0 + alpha * a, -2.0 * c, 1.0 - alpha * a, 1.0 + alpha / a, -2.0 * c, 1.0 - alpha / a };
}

Biquad highShelf (double hz, double q, double db, double rate)
{
    const auto a = std::pow (10.0, db / 40.0);
    const auto w = 2.0 * juce::MathConstants<double>::pi * hz / rate;
    const auto alpha = std::sin (w) / (2.0 * q);
    const auto c = std::cos (w);
    const auto s = 2.0 * std::sqrt (a) * alpha;
    return { a * ((a + 1.0) + (a - 1.0) * c + s), -2.0 * a * ((a - 1.0) + (a + 1.0) * c), a * ((a + 1.0) + (a - 1.0) * c - s),
             (a + 1.0) - (a - 1.0) * c + s, 2.0 * ((a - 1.0) - (a + 1.0) * c), (a + 1.0) - (a - 1.0) * c - s };
}

// Power density of uniform noise in [-0.5, 0.5) (variance 1/12) through the chain.
double expectedPower (double hz, double rate)
{
    const Biquad chain[] = { highPass (30.0, std::sqrt (0.5), rate),
                             peak (300.0, 3.2, 6.78, rate),
                             peak (5260.0, 0.87, -0.92, rate),
                             peak (1840.0, 0.08, -10.8, rate),
                             highShelf (4970.0, 0.1, -18.52, rate),
                             highShelf (9000.0, 0.1, -5.0, rate) };
    auto power = 1.0 / 12.0;
    for (const auto& filter : chain)
        power *= filter.powerAt (hz, rate);
    return power;
}

std::vector<float> hiss (NoiseGenerator& generator, int samples, int blockSize)
{
    std::vector<float> signal ((size_t) samples);
    for (int start = 0; start < samples; start += blockSize)
        generator.processBuffer (signal.data() + start, std::min (blockSize, samples - start));
    return signal;
}

// Welch estimate (Hann window, half overlap) of the power density per bin.
std::vector<double> measuredPower (const std::vector<float>& signal, int order)
{
    const auto size = 1 << order;
    juce::dsp::FFT fft (order);
    std::vector<float> frame ((size_t) (2 * size));
    std::vector<double> power ((size_t) (size / 2 + 1), 0.0);
    std::vector<float> window ((size_t) size);
    auto windowEnergy = 0.0;
    for (int i = 0; i < size; ++i)
    {
        window[(size_t) i] = (float) (0.5 - 0.5 * std::cos (2.0 * juce::MathConstants<double>::pi * i / size));
        windowEnergy += (double) window[(size_t) i] * window[(size_t) i];
    }

    auto frames = 0;
    for (size_t start = 0; start + (size_t) size <= signal.size(); start += (size_t) size / 2, ++frames)
    {
        std::fill (frame.begin(), frame.end(), 0.0f);
        for (int i = 0; i < size; ++i)
            frame[(size_t) i] = signal[start + (size_t) i] * window[(size_t) i];
        fft.performFrequencyOnlyForwardTransform (frame.data());
        for (size_t bin = 0; bin < power.size(); ++bin)
            power[bin] += (double) frame[bin] * frame[bin];
    }

    for (auto& value : power)
        value /= frames * windowEnergy;
    return power;
}
} // namespace

TEST (NoiseGenerator, SpectrumFollowsTheSixFilterDesignBandByBand)
{
    struct Case
    {
        double sampleRate;
        int blockSize;
    };
    const double bandEdges[][2] = { { 80, 150 }, { 250, 350 }, { 600, 1000 }, { 1500, 2500 }, { 3000, 5000 }, { 5000, 8000 }, { 8000, 12000 }, { 12000, 20000 } };

    // Small blocks as well as large: filter state must carry across blocks.
    for (const auto c : { Case { 48000.0, 4096 }, Case { 44100.0, 100 }, Case { 96000.0, 1 } })
    {
        // Bins of about 12 Hz and a thousand frames keep the low bands steady.
        const auto order = c.sampleRate > 50000.0 ? 13 : 12;
        NoiseGenerator generator (c.sampleRate);
        const auto power = measuredPower (hiss (generator, 1 << (order + 9), c.blockSize), order);
        const auto binHz = c.sampleRate / (1 << order);

        for (const auto& band : bandEdges)
        {
            auto measured = 0.0;
            auto expected = 0.0;
            for (auto bin = (size_t) std::ceil (band[0] / binHz); bin * binHz <= band[1]; ++bin)
            {
                measured += power[bin];
                expected += expectedPower (bin * binHz, c.sampleRate);
            }

            EXPECT_NEAR (10.0 * std::log10 (measured / expected), 0.0, 0.35)
                << band[0] << " to " << band[1] << " Hz at " << c.sampleRate << " Hz, blocks of " << c.blockSize;
        }
    }
}

TEST (NoiseGenerator, TwoGeneratorsHissUncorrelated)
{
    NoiseGenerator left (48000.0);
    NoiseGenerator right (48000.0);
    const auto a = hiss (left, 1 << 19, 512);
    const auto b = hiss (right, 1 << 19, 512);

    auto ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t n = 0; n < a.size(); ++n)
    {
        ab += (double) a[n] * b[n];
        aa += (double) a[n] * a[n];
        bb += (double) b[n] * b[n];
    }

    EXPECT_GT (aa, 0.0);
    EXPECT_LT (std::abs (ab / std::sqrt (aa * bb)), 0.03);
}

TEST (NoiseGenerator, StaysStableAndAudibleAtEveryHostRate)
{
    // Below 20 kHz the upper filter corners would sit at or above Nyquist.
    for (const auto rate : { 8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 384000.0 })
    {
        NoiseGenerator generator (rate);
        const auto signal = hiss (generator, (int) (10.0 * rate), 480);

        auto sum = 0.0;
        for (const auto sample : signal)
        {
            ASSERT_TRUE (std::isfinite (sample)) << rate;
            sum += (double) sample * sample;
        }

        const auto rms = std::sqrt (sum / (double) signal.size());
        EXPECT_GT (rms, 0.02) << rate;
        EXPECT_LT (rms, 0.5) << rate;
    }
}

TEST (NoiseGenerator, EmptyOrNegativeLengthsWriteNothing)
{
    NoiseGenerator generator (44100.0);
    float samples[] = { 0.25f, -0.25f };
    generator.processBuffer (samples, 0);
    generator.processBuffer (samples, -3);
    EXPECT_EQ (samples[0], 0.25f);
    EXPECT_EQ (samples[1], -0.25f);
}
