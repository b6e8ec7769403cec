// A fixed-length circular delay with one write position per channel: every
// call stores one sample and hands back the one written length calls earlier.
#pragma once

#include "SignalProcessor.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <vector>

// VariableDelayLine hides processValue on purpose; see SignalProcessor.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Woverloaded-virtual")

class DelayLine : public SignalProcessor
{
public:
    // The storage is allocated and cleared here, never on the audio thread.
    DelayLine (int numChannels, int length);

    // channel must be below the channel count the line was built for.
    float processValue (float sample, int channel) override;

protected:
    // Stores sample at the channel's write position and advances it, wrapping.
    // Inline, because the variable line calls it for every sample it delays.
    void write (float sample, int channel) noexcept
    {
        jassert (juce::isPositiveAndBelow (channel, numChannels));
        auto& position = writeIndex[(size_t) channel];
        buffer.setSample (channel, position, sample);

        if (++position == length)
            position = 0;
    }

    juce::AudioBuffer<float> buffer;
    int numChannels;
    int length;
    std::vector<int> writeIndex;
};

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
