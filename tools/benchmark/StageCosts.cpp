// Where Marrowtone's time goes, without any plug-in wrapper: the processor
// called directly at three block sizes, and the same chain rebuilt stage by
// stage from the very objects the processor uses (JUCE's oversampler and
// state-variable filter, our WahFlutter and NoiseGenerator), each stage timed
// on its own around every block. The shares are of the sum of the stages.
#include "CpuClock.h"
#include "DemoMusic.h"
#include "NoiseGenerator.h"
#include "SaturationCurve.h"
#include "WahFlutter.h"

#include <juce_core/juce_core.h>

// The chain's low-pass is the processor's state-variable filter, which JUCE 7
// deprecates; GCC reports that where the template is defined, so the
// warning is silenced around the headers.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
#include "PluginProcessor.h"
#include <juce_dsp/juce_dsp.h>
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

#include <iostream>

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSizes[] { 64, 512, 2048 };
constexpr int channels = 2;
constexpr int runs = 5;

using marrowtone::benchmark::median;
using marrowtone::benchmark::threadCpuSeconds;

double timeProcessor (const juce::AudioBuffer<float>& material, juce::AudioBuffer<float>& work, int blockSize)
{
    TapeAudioProcessor processor;
    processor.prepareToPlay (rate, blockSize);
    work.makeCopyOf (material, true);
    juce::MidiBuffer midi;

    const auto start = threadCpuSeconds();
    for (int offset = 0; offset < work.getNumSamples(); offset += blockSize)
    {
        juce::AudioBuffer<float> block (work.getArrayOfWritePointers(), channels, offset,
                                        juce::jmin (blockSize, work.getNumSamples() - offset));
        processor.processBlock (block, midi);
    }
    return threadCpuSeconds() - start;
}

// The processor's chain at its default parameters, stage by stage.
struct StagedChain
{
    using LowPass = juce::dsp::ProcessorDuplicator<juce::dsp::StateVariableFilter::Filter<float>,
                                                   juce::dsp::StateVariableFilter::Parameters<float>>;

    explicit StagedChain (int blockSize) :
        oversampling (channels, 2, juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, false),
        noiseBuffer (channels, blockSize)
    {
        lowPass.prepare ({ rate, (juce::uint32) blockSize, (juce::uint32) channels });
        lowPass.state->type = juce::dsp::StateVariableFilter::Parameters<float>::Type::lowPass;
        oversampling.initProcessing ((size_t) blockSize);
        for (int channel = 0; channel < channels; ++channel)
        {
            wahFlutters[(size_t) channel] = std::make_unique<WahFlutter> (rate);
            noiseGenerators[(size_t) channel] = std::make_unique<NoiseGenerator> (rate);
        }
    }

    void tone (juce::AudioBuffer<float>& buffer)
    {
        buffer.applyGain (1.0f);
        juce::dsp::AudioBlock<float> block (buffer);
        auto upsampled = oversampling.processSamplesUp (block);
        for (size_t channel = 0; channel < upsampled.getNumChannels(); ++channel)
        {
            auto* samples = upsampled.getChannelPointer (channel);
            for (size_t i = 0; i < upsampled.getNumSamples(); ++i)
                samples[i] = marrowtone::saturate (samples[i]);
        }
        oversampling.processSamplesDown (block);

        auto level = 0.0f;
        for (int channel = 0; channel < channels; ++channel)
            level += buffer.getRMSLevel (channel, 0, buffer.getNumSamples()) / (float) channels;
        lowPass.state->setCutOffFrequency (rate, juce::jmax (1.0f, 18000.0f - 18000.0f * level));
        lowPass.process (juce::dsp::ProcessContextReplacing<float> (block));
    }

    void wowAndFlutter (juce::AudioBuffer<float>& buffer)
    {
        for (int channel = 0; channel < channels; ++channel)
            wahFlutters[(size_t) channel]->processSamples (buffer.getWritePointer (channel), buffer.getNumSamples(), 2.0f, 2.0f);
    }

    void hiss (juce::AudioBuffer<float>& buffer)
    {
        for (int channel = 0; channel < channels; ++channel)
            noiseGenerators[(size_t) channel]->processBuffer (noiseBuffer.getWritePointer (channel), buffer.getNumSamples());
        noiseBuffer.applyGain (0.1f);
        for (int channel = 0; channel < channels; ++channel)
            buffer.addFrom (channel, 0, noiseBuffer, channel, 0, buffer.getNumSamples());
    }

    juce::dsp::Oversampling<float> oversampling;
    LowPass lowPass;
    std::array<std::unique_ptr<WahFlutter>, channels> wahFlutters;
    std::array<std::unique_ptr<NoiseGenerator>, channels> noiseGenerators;
    juce::AudioBuffer<float> noiseBuffer;
};

struct StageTimes
{
    double tone = 0.0, wowAndFlutter = 0.0, hiss = 0.0;
};

StageTimes timeStages (const juce::AudioBuffer<float>& material, juce::AudioBuffer<float>& work, int blockSize)
{
    StagedChain chain (blockSize);
    work.makeCopyOf (material, true);
    StageTimes times;

    for (int offset = 0; offset < work.getNumSamples(); offset += blockSize)
    {
        juce::AudioBuffer<float> block (work.getArrayOfWritePointers(), channels, offset,
                                        juce::jmin (blockSize, work.getNumSamples() - offset));
        const auto t0 = threadCpuSeconds();
        chain.tone (block);
        const auto t1 = threadCpuSeconds();
        chain.wowAndFlutter (block);
        const auto t2 = threadCpuSeconds();
        chain.hiss (block);
        const auto t3 = threadCpuSeconds();
        times.tone += t1 - t0;
        times.wowAndFlutter += t2 - t1;
        times.hiss += t3 - t2;
    }
    return times;
}

juce::String percent (double part, double whole)
{
    return juce::String (100.0 * part / whole, 1) + " %";
}
} // namespace

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    const auto seconds = argc > 1 && juce::String (argv[1]).getDoubleValue() > 0.0 ? juce::String (argv[1]).getDoubleValue() : 60.0;
    const auto minutes = seconds / 60.0;

    const auto material = marrowtone::demo::composeDemoMusic (seconds, rate);
    juce::AudioBuffer<float> work (channels, material.getNumSamples());

    std::cout << "Marrowtone in-process (no plug-in wrapper), stereo 48 kHz, default parameters,\n"
              << "CPU seconds per minute of audio (median of " << runs << " runs)\n\n"
              << " block   processor s/min      x    tone  wow/flutter   hiss\n";

    for (const auto blockSize : blockSizes)
    {
        std::vector<double> whole, tone, wowAndFlutter, hiss;
        for (int run = 0; run < runs; ++run)
        {
            whole.push_back (timeProcessor (material, work, blockSize) / minutes);
            const auto stages = timeStages (material, work, blockSize);
            tone.push_back (stages.tone);
            wowAndFlutter.push_back (stages.wowAndFlutter);
            hiss.push_back (stages.hiss);
        }

        const auto perMinute = median (whole);
        const auto sum = median (tone) + median (wowAndFlutter) + median (hiss);
        std::cout << juce::String (blockSize).paddedLeft (' ', 6)
                  << juce::String (perMinute, 3).paddedLeft (' ', 18)
                  << juce::String (juce::roundToInt (60.0 / perMinute)).paddedLeft (' ', 7)
                  << percent (median (tone), sum).paddedLeft (' ', 8)
                  << percent (median (wowAndFlutter), sum).paddedLeft (' ', 13)
                  << percent (median (hiss), sum).paddedLeft (' ', 7) << "\n";
    }

    return 0;
}
