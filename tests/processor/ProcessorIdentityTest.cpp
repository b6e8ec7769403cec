// Proves what a host sees of the plug-in besides its parameters: name,
// version, buses, accepted layouts, programs, MIDI flags, tail and latency.
#include "PluginProcessor.h"

#include <gtest/gtest.h>

TEST (ProcessorIdentity, ReportsItsNameVersionAndEffectKind)
{
    TapeAudioProcessor processor;
    EXPECT_EQ (processor.getName(), "Marrowtone");
    EXPECT_EQ (JucePlugin_VersionCode, 0x10401);
    EXPECT_STREQ (JucePlugin_VersionString, "1.4.1");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getBus (true, 0)->getDefaultLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor.getBus (false, 0)->getDefaultLayout(), juce::AudioChannelSet::stereo());
}

TEST (ProcessorIdentity, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    using Set = juce::AudioChannelSet;
    struct Case
    {
        Set input, output;
        bool accepted;
    };
    const Case cases[] = {
        { Set::stereo(), Set::stereo(), true },
        { Set::mono(), Set::mono(), true },
        { Set::mono(), Set::stereo(), false },
        { Set::stereo(), Set::mono(), false },
        { Set::disabled(), Set::stereo(), false },
        { Set::stereo(), Set::disabled(), false },
        { Set::create5point1(), Set::create5point1(), false },
        { Set::quadraphonic(), Set::quadraphonic(), false },
    };

    TapeAudioProcessor processor;
    for (const auto& c : cases)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.input);
        layout.outputBuses.add (c.output);
        EXPECT_EQ (processor.checkBusesLayoutSupported (layout), c.accepted)
            << c.input.getDescription() << " -> " << c.output.getDescription();
    }

    EXPECT_FALSE (processor.canAddBus (true));
    EXPECT_FALSE (processor.canRemoveBus (false));
}

TEST (ProcessorIdentity, OffersOneUnnamedProgramThatCannotBeChanged)
{
    TapeAudioProcessor processor;
    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    processor.setCurrentProgram (3);
    processor.changeProgramName (0, "Renamed");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "");
    EXPECT_EQ (processor.getProgramName (7), "");
}

namespace
{
struct LatencyListener : juce::AudioProcessorListener
{
    int latencyNotifications = 0;
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        if (details.latencyChanged)
            ++latencyNotifications;
    }
};
} // namespace

TEST (ProcessorIdentity, ReportsTwelveMillisecondsOfLatencyInWholeSamples)
{
    const std::pair<double, int> cases[] = { { 44100.0, 529 }, { 48000.0, 576 }, { 88200.0, 1058 }, { 96000.0, 1152 }, { 192000.0, 2304 } };

    for (const auto& [rate, expected] : cases)
    {
        TapeAudioProcessor processor;
        processor.prepareToPlay (rate, 512);
        EXPECT_EQ (processor.getLatencySamples(), expected) << rate;
    }
}

TEST (ProcessorIdentity, PreparingAgainAtTheSameRateSendsNoNewLatencyNotification)
{
    TapeAudioProcessor processor;
    LatencyListener listener;
    processor.addListener (&listener);

    processor.prepareToPlay (48000.0, 512);
    EXPECT_EQ (listener.latencyNotifications, 1);
    processor.prepareToPlay (48000.0, 256);
    EXPECT_EQ (listener.latencyNotifications, 1);
    processor.prepareToPlay (96000.0, 256);
    EXPECT_EQ (listener.latencyNotifications, 2);

    processor.removeListener (&listener);
}
