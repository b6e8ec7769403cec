// Measurements on rendered audio: the amplitude of one frequency (a
// Hann-windowed Goertzel filter) and a finiteness check.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>

// Peak amplitude of the sinusoid at hz in samples [start, start + length).
inline double toneAmplitude (const float* samples, int start, int length, double sampleRate, double hz)
{
    const auto omega = juce::MathConstants<double>::twoPi * hz / sampleRate;
    double real = 0.0, imaginary = 0.0, windowSum = 0.0;

    for (int i = 0; i < length; ++i)
    {
        const auto window = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / (length - 1));
        const auto x = window * samples[start + i];
        real += x * std::cos (omega * i);
        imaginary -= x * std::sin (omega * i);
        windowSum += window;
    }

    return 2.0 * std::sqrt (real * real + imaginary * imaginary) / windowSum;
}

inline bool allFinite (const juce::AudioBuffer<float>& buffer)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            if (! std::isfinite (buffer.getSample (c, i)))
                return false;
    return true;
}
