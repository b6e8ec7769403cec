// Proves the tone stage on real audio: the fade-in of the first block, the
// level-dependent low-pass with its Nyquist bound, and blocks a host should
// not send (over-long, more channels than prepared, empty).
#include "PluginProcessor.h"
#include "ProcessorHarness.h"
#include "SignalAnalysis.h"

#include <gtest/gtest.h>

namespace
{
constexpr double rate = 48000.0;

// Wow, flutter and hiss away, so what is left is drive, saturation and
// low-pass followed by the plain 12 ms delay of the centred delay lines.
void makeToneStageAudible (TapeAudioProcessor& processor)
{
    setParameter (processor, "wow", 0.0f);
    setParameter (processor, "flutter", 0.0f);
    setParameter (processor, "noise", -80.0f);
}

// Amplitude of a tone in the output window that holds the input around
// sample inputCentre, given the plug-in's 12 ms of delay.
double amplitudeAroundInputSample (const juce::AudioBuffer<float>& output, int inputCentre, double hz)
{
    constexpr int window = 960;
    return toneAmplitude (output.getReadPointer (0), inputCentre + 576 - window / 2, window, rate, hz);
}
} // namespace

TEST (ToneStage, FirstBlockFadesTheDriveInFromSilence)
{
    TapeAudioProcessor processor;
    makeToneStageAudible (processor);
    processor.prepareToPlay (rate, 9600);

    constexpr float level = 0.05f;
    auto buffer = makeSine (2, 9600, rate, 1000.0, level);
    process (processor, buffer);

    // The drive gain of sample k is k / N, so the tone grows in proportion.
    for (const int k : { 2400, 4800, 7200 })
        EXPECT_NEAR (amplitudeAroundInputSample (buffer, k, 1000.0), level * k / 9600.0, 0.03 * level) << k;

    auto steady = makeSine (2, 9600, rate, 1000.0, level);
    process (processor, steady);
    EXPECT_NEAR (amplitudeAroundInputSample (steady, 4800, 1000.0), level, 0.02 * level);
}

TEST (ToneStage, PreparingAgainDoesNotRestartTheFadeIn)
{
    TapeAudioProcessor processor;
    makeToneStageAudible (processor);
    processor.prepareToPlay (rate, 9600);

    auto first = makeSine (2, 9600, rate, 1000.0, 0.05f);
    process (processor, first);

    processor.prepareToPlay (rate, 9600);
    auto afterPrepare = makeSine (2, 9600, rate, 1000.0, 0.05f);
    process (processor, afterPrepare);

    EXPECT_NEAR (amplitudeAroundInputSample (afterPrepare, 2400, 1000.0), 0.05, 0.001);
}

namespace
{
// Ratio of the gains of a high and a low probe tone: independent of how much
// the saturation compresses both, it shows where the low-pass stands.
double probeRatio (double hostRate, float lowPass, float driverLevel, double lowProbe, double highProbe)
{
    TapeAudioProcessor processor;
    makeToneStageAudible (processor);
    setParameter (processor, "lowPass", lowPass);
    constexpr int blockSize = 4096;
    processor.prepareToPlay (hostRate, blockSize);

    constexpr float probeLevel = 0.002f;
    const int length = blockSize * 12;
    juce::AudioBuffer<float> input (2, length);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < length; ++i)
        {
            const auto t = i / hostRate;
            input.setSample (c, i, (float) (driverLevel * std::sin (juce::MathConstants<double>::twoPi * 110.0 * t)
                                            + probeLevel * std::sin (juce::MathConstants<double>::twoPi * lowProbe * t)
                                            + probeLevel * std::sin (juce::MathConstants<double>::twoPi * highProbe * t)));
        }

    auto output = input;
    for (int start = 0; start < length; start += blockSize)
    {
        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), 2, start, blockSize);
        process (processor, block);
    }

    EXPECT_TRUE (allFinite (output));
    const int from = length / 2, count = length / 2 - 2048;
    return toneAmplitude (output.getReadPointer (0), from, count, hostRate, highProbe)
           / toneAmplitude (output.getReadPointer (0), from, count, hostRate, lowProbe);
}

// The digital low-pass response |H(f)| for cutoff fc: Butterworth after the
// bilinear transform's pre-warping.
double lowPassGain (double f, double fc, double fs)
{
    const auto ratio = std::tan (juce::MathConstants<double>::pi * f / fs) / std::tan (juce::MathConstants<double>::pi * fc / fs);
    return 1.0 / std::sqrt (1.0 + std::pow (ratio, 4.0));
}
} // namespace

TEST (ToneStage, QuietSignalIsFilteredAtTheLowPassValue)
{
    const auto expected = lowPassGain (5000.0, 8000.0, rate) / lowPassGain (1000.0, 8000.0, rate);
    EXPECT_NEAR (probeRatio (rate, 8000.0f, 0.0f, 1000.0, 5000.0), expected, 0.01);
}

TEST (ToneStage, LoudSignalClosesTheLowPass)
{
    const auto quiet = probeRatio (rate, 8000.0f, 0.0f, 1000.0, 5000.0);
    const auto loud = probeRatio (rate, 8000.0f, 0.8f, 1000.0, 5000.0);

    // A loud block has a mean level around 0.5, halving the cutoff to about
    // 4 kHz, where the 5 kHz probe falls well below the quiet case.
    EXPECT_LT (loud, quiet - 0.2);
    EXPECT_LT (loud, lowPassGain (5000.0, 6000.0, rate) / lowPassGain (1000.0, 6000.0, rate));
}

TEST (ToneStage, CutoffBeyondWhatTheRateAllowsIsHeldBelowNyquist)
{
    // 18 kHz cannot be a cutoff at 32 kHz; the filter is held at 0.45 of the
    // rate (14.4 kHz), where it stays damped, and passes the band below.
    EXPECT_NEAR (probeRatio (32000.0, 18000.0f, 0.0f, 1000.0, 13000.0),
                 lowPassGain (13000.0, 14400.0, 32000.0) / lowPassGain (1000.0, 14400.0, 32000.0), 0.01);
}

TEST (ToneStage, OverLongBlockIsRenderedLikePreparedSizePieces)
{
    TapeAudioProcessor whole, pieces;
    for (auto* processor : { &whole, &pieces })
    {
        makeToneStageAudible (*processor);
        setParameter (*processor, "saturation", 6.0f);
        processor->prepareToPlay (rate, 64);
    }

    auto longBlock = makeSine (2, 1000, rate, 440.0, 0.5f);
    auto reference = longBlock;
    process (whole, longBlock);

    for (int start = 0; start < 1000; start += 64)
    {
        juce::AudioBuffer<float> block (reference.getArrayOfWritePointers(), 2, start, juce::jmin (64, 1000 - start));
        process (pieces, block);
    }

    // Only the random hiss differs, at -80 dB about 1e-5.
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 1000; ++i)
            ASSERT_NEAR (longBlock.getSample (c, i), reference.getSample (c, i), 1.0e-3f) << c << " " << i;
}

TEST (ToneStage, ExtraChannelsBeyondThePreparedLayoutAreLeftAlone)
{
    TapeAudioProcessor processor;
    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (processor.setBusesLayout (mono));
    processor.prepareToPlay (rate, 256);

    auto buffer = makeSine (4, 256, rate, 440.0, 0.5f);
    const auto untouched = buffer;
    process (processor, buffer);

    EXPECT_TRUE (allFinite (buffer));
    for (int c = 1; c < 4; ++c)
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ (buffer.getSample (c, i), untouched.getSample (c, i));
}

TEST (ToneStage, EmptyBlockChangesNoAudioButMovesTheDriveGain)
{
    TapeAudioProcessor processor;
    makeToneStageAudible (processor);
    processor.prepareToPlay (rate, 9600);

    // The empty block ends the fade-in, so the next block starts at full drive.
    juce::AudioBuffer<float> empty (2, 0);
    process (processor, empty);

    auto buffer = makeSine (2, 9600, rate, 1000.0, 0.05f);
    process (processor, buffer);
    EXPECT_NEAR (amplitudeAroundInputSample (buffer, 2400, 1000.0), 0.05, 0.001);
}
