// Small helpers for running a TapeAudioProcessor on real buffers the way a
// host does: set parameters by ID through the host-facing parameter objects,
// prepare, and process.
#pragma once

#include "PluginProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

inline void setParameter (TapeAudioProcessor& processor, const juce::String& id, float plainValue)
{
    auto* parameter = processor.parameters.getParameter (id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (plainValue));
}

inline float parameterValue (TapeAudioProcessor& processor, const juce::String& id)
{
    return processor.parameters.getRawParameterValue (id)->load();
}

inline void process (TapeAudioProcessor& processor, juce::AudioBuffer<float>& buffer)
{
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);
}

// A sine of the given frequency and peak level, the same on every channel.
inline juce::AudioBuffer<float> makeSine (int channels, int samples, double sampleRate, double hz, float level)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    for (int c = 0; c < channels; ++c)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (c, i, level * (float) std::sin (juce::MathConstants<double>::twoPi * hz * i / sampleRate));
    return buffer;
}
