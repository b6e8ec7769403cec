// Proves processBlock never touches the heap, whatever layout, block size or
// settings the host uses, including blocks longer than prepared.
#include "AllocationCounter.h"
#include "PluginProcessor.h"
#include "ProcessorHarness.h"

#include <gtest/gtest.h>

TEST (RealTimeSafety, ProcessBlockAllocatesNothing)
{
    struct Case
    {
        int channels;
        int preparedBlock;
        int blockSize;
    };
    const Case cases[] = { { 2, 512, 512 }, { 2, 512, 17 }, { 2, 64, 1000 }, { 1, 256, 256 }, { 2, 512, 0 } };

    for (const auto& c : cases)
    {
        TapeAudioProcessor processor;
        const auto set = c.channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        ASSERT_TRUE (processor.setBusesLayout (layout));
        setParameter (processor, "saturation", 12.0f);
        setParameter (processor, "wow", 100.0f);
        setParameter (processor, "flutter", 100.0f);
        setParameter (processor, "noise", 0.0f);
        processor.prepareToPlay (48000.0, c.preparedBlock);

        auto buffer = makeSine (c.channels, c.blockSize, 48000.0, 440.0, 0.9f);
        juce::MidiBuffer midi;

        ScopedAllocationCounter counter;
        for (int block = 0; block < 20; ++block)
            processor.processBlock (buffer, midi);
        EXPECT_EQ (counter.allocations(), 0) << c.channels << " channels, block " << c.blockSize;
    }
}

TEST (RealTimeSafety, AllocationCounterSeesAllocations)
{
    // Guards the guard: if the counting operator new were not linked in, the
    // test above would pass for the wrong reason.
    ScopedAllocationCounter counter;
    auto* data = new std::vector<int> (100);
    delete data;
    EXPECT_GE (counter.allocations(), 2);
}
