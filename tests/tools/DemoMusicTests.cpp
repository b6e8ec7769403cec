// Proves the demo piece is deterministic, fills its length at a fixed peak
// without clicks at the ends, and really plays its chord progression.
#include "DemoMusic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>

using namespace marrowtone::demo;

namespace
{
// Hann-windowed power of one frequency over a stretch of the left channel,
// an independent look at which notes sound there.
double powerAt (const juce::AudioBuffer<float>& music, double sampleRate, double startSeconds,
                double lengthSeconds, double hz)
{
    const auto start = (int)(startSeconds * sampleRate);
    const auto length = (int)(lengthSeconds * sampleRate);
    double real = 0.0, imaginary = 0.0;

    for (int i = 0; i < length; ++i)
    {
        const auto window = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / length);
        const auto sample = window * music.getSample (0, start + i);
        const auto phase = juce::MathConstants<double>::twoPi * hz * i / sampleRate;
        real += sample * std::cos (phase);
        imaginary += sample * std::sin (phase);
    }

    return real * real + imaginary * imaginary;
}
} // namespace

TEST (DemoMusic, IsTheSameEveryTimeAndFillsTheRequestedLength)
{
    const auto first = composeDemoMusic (3.0);
    const auto second = composeDemoMusic (3.0);

    ASSERT_EQ (first.getNumChannels(), 2);
    ASSERT_EQ (first.getNumSamples(), (int)(3.0 * demoSampleRate));
    ASSERT_EQ (second.getNumSamples(), first.getNumSamples());

    for (int channel = 0; channel < 2; ++channel)
        EXPECT_EQ (std::memcmp (first.getReadPointer (channel), second.getReadPointer (channel),
                                sizeof (float) * (size_t)first.getNumSamples()),
                   0);
}

TEST (DemoMusic, PlaysWithoutGapsAtItsPeakAndFadesAtTheEnds)
{
    const auto music = composeDemoMusic (8.0);
    const auto quarterSecond = (int)(demoSampleRate / 4);

    EXPECT_NEAR (music.getMagnitude (0, music.getNumSamples()), demoPeakLevel, 1.0e-5f);

    for (int start = 0; start + quarterSecond <= music.getNumSamples(); start += quarterSecond)
        for (int channel = 0; channel < 2; ++channel)
            EXPECT_GT (music.getRMSLevel (channel, start, quarterSecond), 0.02f) << "silence at sample " << start;

    for (int channel = 0; channel < 2; ++channel)
    {
        EXPECT_LT (std::abs (music.getSample (channel, 0)), 1.0e-3f);
        EXPECT_LT (std::abs (music.getSample (channel, music.getNumSamples() - 1)), 1.0e-3f);
    }
}

TEST (DemoMusic, EachBarSoundsItsOwnChord)
{
    struct Bar
    {
        const char* chord;
        double chordTone; // in this bar's chord
        double otherTone; // a neighbour that belongs to no note of the bar
    };

    // C, G, Am, F: E4 and F4 trade places between the first and last bar.
    const Bar bars[] = { { "C", 329.63, 349.23 }, { "G", 246.94, 261.63 }, { "Am", 220.0, 233.08 }, { "F", 349.23, 329.63 } };
    const auto music = composeDemoMusic (8.0);
    const auto barSeconds = 4 * 60.0 / demoTempo;

    for (size_t bar = 0; bar < std::size (bars); ++bar)
    {
        const auto start = (double)bar * barSeconds;
        const auto present = powerAt (music, demoSampleRate, start, barSeconds / 2, bars[bar].chordTone);
        const auto absent = powerAt (music, demoSampleRate, start, barSeconds / 2, bars[bar].otherTone);

        EXPECT_GT (present, 30.0 * absent) << "bar " << bar + 1 << " (" << bars[bar].chord << ")";
    }
}
