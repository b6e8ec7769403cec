// Proves the processor survives what hosts do between and during blocks:
// dense random automation, preset changes every block, repeated or missing
// prepare calls, layout changes, and a return from extreme settings.
#include "AllocationCounter.h"
#include "ConformanceSupport.h"
#include "PresetLibrary.h"
#include "SignalAnalysis.h"

#include <gtest/gtest.h>

using namespace conformance;

namespace
{
constexpr double rate = 48000.0;

void processNoise (TapeAudioProcessor& processor, int channels, int blockSize, int blocks, juce::Random& random)
{
    juce::AudioBuffer<float> buffer (channels, blockSize);
    juce::MidiBuffer midi;
    long long position = 0;

    for (int block = 0; block < blocks; ++block)
    {
        fill (buffer, Signal::fullScaleNoise, random, position);
        processor.processBlock (buffer, midi);
        const auto problem = problemWith (buffer);
        ASSERT_TRUE (problem.empty()) << problem << " in block " << block;
    }
}
} // namespace

TEST (HostBehaviour, RandomAutomationEvery32SamplesKeepsTheOutputBounded)
{
    TapeAudioProcessor processor;
    processor.prepareToPlay (rate, 32);

    juce::Random random (1234);
    juce::AudioBuffer<float> buffer (2, 32);
    juce::MidiBuffer midi;
    long long position = 0;

    for (int block = 0; block < 3000; ++block)
    {
        for (auto* parameter : processor.getParameters())
            parameter->setValueNotifyingHost (random.nextFloat());

        fill (buffer, Signal::fullScaleNoise, random, position);
        ScopedAllocationCounter allocations;
        processor.processBlock (buffer, midi);
        ASSERT_EQ (allocations.allocations(), 0);
        const auto problem = problemWith (buffer);
        ASSERT_TRUE (problem.empty()) << problem << " in block " << block;
    }
}

TEST (HostBehaviour, SwitchingFactoryPresetsEveryBlockKeepsTheOutputBounded)
{
    TapeAudioProcessor processor;
    processor.prepareToPlay (rate, 256);

    juce::Random random (99);
    juce::AudioBuffer<float> buffer (2, 256);
    juce::MidiBuffer midi;
    long long position = 0;
    const auto& presets = marrowtone::factoryPresets();

    for (int block = 0; block < 600; ++block)
    {
        processor.loadPreset (presets[(size_t) block % presets.size()].name);
        fill (buffer, Signal::fullScaleNoise, random, position);
        processor.processBlock (buffer, midi);
        const auto problem = problemWith (buffer);
        ASSERT_TRUE (problem.empty()) << problem << " after " << presets[(size_t) block % presets.size()].name;
    }
}

TEST (HostBehaviour, PreparingTwiceOrProcessingAfterReleaseKeepsWorking)
{
    TapeAudioProcessor processor;
    juce::Random random (5);

    processor.prepareToPlay (44100.0, 512);
    processor.prepareToPlay (96000.0, 128);
    processNoise (processor, 2, 128, 200, random);

    processor.releaseResources();
    processNoise (processor, 2, 128, 200, random);
}

TEST (HostBehaviour, ProcessingBeforeAnyPrepareGivesSilence)
{
    TapeAudioProcessor processor;
    auto buffer = makeSine (2, 256, rate, 440.0, 0.5f);
    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    EXPECT_EQ (buffer.getMagnitude (0, 256), 0.0f);
}

TEST (HostBehaviour, LayoutChangesBetweenPreparesAreFollowed)
{
    TapeAudioProcessor processor;
    juce::Random random (6);

    for (const int channels : { 2, 1, 2, 1 })
    {
        ASSERT_TRUE (setLayout (processor, channels));
        processor.prepareToPlay (rate, 512);
        processNoise (processor, channels, 512, 100, random);
    }
}

TEST (HostBehaviour, SoundReturnsAfterEveryParameterWasAtAnExtreme)
{
    TapeAudioProcessor processor;
    processor.prepareToPlay (rate, 512);
    juce::Random random (8);

    for (const auto extreme : { Setting::maximum, Setting::minimum })
    {
        applyToAllParameters (processor, extreme);
        processNoise (processor, 2, 512, 200, random);
    }

    // Back at the defaults, with the hiss out of the way, a tone passes at
    // its level again: nothing got stuck at silence or at a runaway state.
    applyToAllParameters (processor, Setting::defaults);
    setParameter (processor, "noise", -80.0f);
    constexpr int blockSize = 512, blocks = 20;
    auto tone = makeSine (2, blockSize * blocks, rate, 1000.0, 0.05f);
    juce::MidiBuffer midi;
    for (int start = 0; start < tone.getNumSamples(); start += blockSize)
    {
        juce::AudioBuffer<float> block (tone.getArrayOfWritePointers(), 2, start, blockSize);
        processor.processBlock (block, midi);
    }
    EXPECT_NEAR (toneAmplitude (tone.getReadPointer (0), blockSize * (blocks - 4), blockSize * 4, rate, 1000.0), 0.05, 0.005);
}
