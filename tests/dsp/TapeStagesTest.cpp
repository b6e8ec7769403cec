// Proves the wow/flutter and hiss stages sit where they belong in the running
// processor: the signal arrives after the two 6 ms lines while the hiss does
// not, both channels wobble identically, the hiss follows the noise parameter
// and differs per channel, and the wow and flutter knobs bend the pitch.
#include "PluginProcessor.h"
#include "ProcessorHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 480;

// Runs the input through the freshly prepared processor in host-sized blocks.
juce::AudioBuffer<float> render (TapeAudioProcessor& processor, const juce::AudioBuffer<float>& input)
{
    processor.prepareToPlay (sampleRate, blockSize);
    auto output = input;
    for (int start = 0; start < output.getNumSamples(); start += blockSize)
    {
        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), output.getNumChannels(), start,
                                        std::min (blockSize, output.getNumSamples() - start));
        process (processor, block);
    }
    return output;
}

juce::AudioBuffer<float> silence (int channels, int samples)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    buffer.clear();
    return buffer;
}

// Lengths of successive periods of a sine, from its upward zero crossings.
std::vector<double> periods (const float* samples, int start, int end)
{
    std::vector<double> result;
    auto lastCrossing = -1.0;
    for (int n = start + 1; n < end; ++n)
    {
        if (samples[n - 1] < 0.0f && samples[n] >= 0.0f)
        {
            const auto crossing = n - 1 + samples[n - 1] / (samples[n - 1] - samples[n]);
            if (lastCrossing >= 0.0)
                result.push_back (crossing - lastCrossing);
            lastCrossing = crossing;
        }
    }
    return result;
}
} // namespace

TEST (TapeStages, SignalArrivesAfterTheTwoDelayLinesButHissFromTheFirstSample)
{
    TapeAudioProcessor processor;
    setParameter (processor, "wow", 0.0f);
    setParameter (processor, "flutter", 0.0f);
    setParameter (processor, "noise", -80.0f);
    const auto output = render (processor, makeSine (2, 4800, sampleRate, 1000.0, 0.5f));

    // 12 ms is 576 samples; the lines alone give 574, the oversampler adds its own.
    for (int n = 0; n < 574; ++n)
        ASSERT_LT (std::abs (output.getSample (0, n)), 1.0e-3f) << "sample " << n;
    EXPECT_GT (output.getMagnitude (0, 1200, 3600), 0.3f);

    TapeAudioProcessor hissOnly;
    setParameter (hissOnly, "noise", 0.0f);
    const auto hiss = render (hissOnly, silence (2, 4800));
    EXPECT_GT (hiss.getRMSLevel (0, 0, 480), 0.3f * hiss.getRMSLevel (0, 480, 4320));
}

TEST (TapeStages, BothChannelsWobbleIdentically)
{
    TapeAudioProcessor processor;
    setParameter (processor, "wow", 100.0f);
    setParameter (processor, "flutter", 100.0f);
    setParameter (processor, "noise", -80.0f);
    const auto output = render (processor, makeSine (2, 48000, sampleRate, 440.0, 0.5f));

    // Only the hiss, at -80 dB, tells the channels apart.
    auto largestDifference = 0.0f;
    for (int n = 0; n < output.getNumSamples(); ++n)
        largestDifference = std::max (largestDifference, std::abs (output.getSample (0, n) - output.getSample (1, n)));
    EXPECT_LT (largestDifference, 1.0e-4f);
    EXPECT_GT (output.getRMSLevel (0, 0, 48000), 0.2f);
}

TEST (TapeStages, HissFollowsTheNoiseParameterInDecibels)
{
    const auto hissLevel = [] (float decibels)
    {
        TapeAudioProcessor processor;
        setParameter (processor, "noise", decibels);
        const auto output = render (processor, silence (2, 96000));
        return output.getRMSLevel (0, 0, 96000);
    };

    const auto reference = hissLevel (0.0f);
    EXPECT_GT (reference, 0.02f);
    EXPECT_LT (reference, 0.5f);

    for (const auto decibels : { -20.0f, -80.0f })
        EXPECT_NEAR (20.0 * std::log10 (hissLevel (decibels) / reference), decibels, 0.3) << decibels << " dB";
}

TEST (TapeStages, EachChannelHissesUncorrelatedAndMonoHissesOnlyItsOneChannel)
{
    TapeAudioProcessor stereo;
    setParameter (stereo, "noise", 0.0f);
    const auto output = render (stereo, silence (2, 96000));

    auto lr = 0.0, ll = 0.0, rr = 0.0;
    for (int n = 0; n < output.getNumSamples(); ++n)
    {
        const auto l = (double) output.getSample (0, n);
        const auto r = (double) output.getSample (1, n);
        lr += l * r;
        ll += l * l;
        rr += r * r;
    }
    EXPECT_GT (rr, 0.0);
    EXPECT_LT (std::abs (lr / std::sqrt (ll * rr)), 0.05);

    TapeAudioProcessor mono;
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::mono());
    layout.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (mono.setBusesLayout (layout));
    setParameter (mono, "noise", 0.0f);
    const auto monoOutput = render (mono, silence (1, 96000));
    EXPECT_NEAR (monoOutput.getRMSLevel (0, 0, 96000), output.getRMSLevel (0, 0, 96000), 0.1f * output.getRMSLevel (0, 0, 96000));
}

TEST (TapeStages, WowAndFlutterBendThePitchOnlyWhenTurnedUp)
{
    struct Case
    {
        float wow;
        float flutter;
        double leastSpread;
        double mostSpread;
    };
    // Full wow swings the pitch by about 15 %, full flutter by about 14 %.
    const Case cases[] = { { 0.0f, 0.0f, 0.0, 0.01 }, { 100.0f, 0.0f, 0.2, 1.0 }, { 0.0f, 100.0f, 0.2, 1.0 } };

    for (const auto& c : cases)
    {
        TapeAudioProcessor processor;
        setParameter (processor, "wow", c.wow);
        setParameter (processor, "flutter", c.flutter);
        setParameter (processor, "noise", -80.0f);
        const auto output = render (processor, makeSine (2, 48000, sampleRate, 1000.0, 0.5f));

        const auto lengths = periods (output.getReadPointer (0), 2000, 48000);
        ASSERT_GT (lengths.size(), 500u);
        const auto [shortest, longest] = std::minmax_element (lengths.begin(), lengths.end());
        const auto spread = (*longest - *shortest) / 48.0;
        EXPECT_GE (spread, c.leastSpread) << c.wow << "/" << c.flutter;
        EXPECT_LE (spread, c.mostSpread) << c.wow << "/" << c.flutter;
    }
}
