// Tape hiss: uniform white noise shaped by six fixed biquads.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_core/juce_core.h>

#include <array>

class NoiseGenerator
{
public:
    explicit NoiseGenerator (double sampleRate);

    // Overwrites numSamples samples with new hiss, continuing the previous block.
    void processBuffer (float* samples, int numSamples);

private:
    std::array<juce::IIRFilter, 6> filters;
    // Seeds itself from the time and its own address, so every generator (every
    // channel, every instance) hisses differently.
    juce::Random random;
};
