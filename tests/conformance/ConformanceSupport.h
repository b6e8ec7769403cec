// What every conformance test checks on the output, and the signals and
// parameter settings it drives the processor with.
#pragma once

#include "ParameterTable.h"
#include "PluginProcessor.h"
#include "ProcessorHarness.h"

#include <cmath>
#include <string>

namespace conformance
{
// The tone path cannot exceed 0.99 (the saturation curve's peak); the
// oversampler's and low-pass's overshoot and the two interpolating delay
// lines can at worst double or triple that, and the hiss at 0 dB adds less
// than 1. Four (+12 dB) is therefore a ceiling no correct block reaches,
// while the failures hosts report (runaway filters, NaN) are far beyond it.
constexpr float outputBound = 4.0f;

enum class Signal
{
    silence,
    fullScaleNoise,
    impulses
};

inline const char* name (Signal signal)
{
    switch (signal)
    {
        case Signal::silence: return "silence";
        case Signal::fullScaleNoise: return "full-scale noise";
        case Signal::impulses: return "impulses";
    }
    return "";
}

// Fills the buffer with the signal, continuing from the running sample count.
inline void fill (juce::AudioBuffer<float>& buffer, Signal signal, juce::Random& random, long long& position)
{
    for (int i = 0; i < buffer.getNumSamples(); ++i, ++position)
        for (int c = 0; c < buffer.getNumChannels(); ++c)
        {
            float value = 0.0f;
            if (signal == Signal::fullScaleNoise)
                value = random.nextFloat() * 2.0f - 1.0f;
            else if (signal == Signal::impulses)
                value = position % 997 == 0 ? 1.0f : 0.0f;
            buffer.setSample (c, i, value);
        }
}

// Empty when the output is acceptable, otherwise what is wrong with it.
inline std::string problemWith (const juce::AudioBuffer<float>& buffer)
{
    for (int c = 0; c < buffer.getNumChannels(); ++c)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            const auto value = buffer.getSample (c, i);
            if (! std::isfinite (value))
                return "non-finite sample at " + std::to_string (i);
            if (std::fpclassify (value) == FP_SUBNORMAL)
                return "subnormal sample at " + std::to_string (i);
            if (std::abs (value) > outputBound)
                return "sample " + std::to_string (value) + " beyond the bound at " + std::to_string (i);
        }
    return {};
}

enum class Setting
{
    minimum,
    maximum,
    defaults
};

inline const char* name (Setting setting)
{
    return setting == Setting::minimum ? "minimum" : setting == Setting::maximum ? "maximum" : "defaults";
}

inline void applyToAllParameters (TapeAudioProcessor& processor, Setting setting)
{
    for (const auto& definition : marrowtone::parameterTable)
        setParameter (processor, definition.id, setting == Setting::minimum ? definition.minimum : setting == Setting::maximum ? definition.maximum : definition.defaultValue);
}

inline bool setLayout (TapeAudioProcessor& processor, int channels)
{
    const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);
    return processor.setBusesLayout (layout);
}
} // namespace conformance
