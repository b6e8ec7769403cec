// Proves that at every host sample rate, with every block size a host may
// use (including blocks longer than announced), any input and any parameter
// extreme, the output stays finite, normal and bounded, and processBlock
// never allocates.
#include "AllocationCounter.h"
#include "ConformanceSupport.h"

#include <gtest/gtest.h>

using namespace conformance;

class EverySampleRate : public testing::TestWithParam<double>
{
};

TEST_P (EverySampleRate, OutputStaysFiniteAndBoundedForEveryBlockSizeSignalAndSetting)
{
    const auto rate = GetParam();
    constexpr int preparedBlock = 512;
    const int blockSizes[] = { 1, 2, 17, 64, 512, 4096 };

    for (const auto setting : { Setting::minimum, Setting::maximum, Setting::defaults })
        for (const auto signal : { Signal::silence, Signal::fullScaleNoise, Signal::impulses })
        {
            TapeAudioProcessor processor;
            applyToAllParameters (processor, setting);
            // 4096 exceeds the prepared maximum on purpose.
            processor.prepareToPlay (rate, preparedBlock);

            juce::Random random (7);
            long long position = 0;
            juce::MidiBuffer midi;
            float loudest = 0.0f;

            for (const auto blockSize : blockSizes)
            {
                // A quarter of a second per block size, so filters and delay
                // lines settle into whatever state they would run away from.
                juce::AudioBuffer<float> buffer (2, blockSize);
                const auto blocks = juce::jmax (1, (int) (rate / 4 / blockSize));
                for (int block = 0; block < blocks; ++block)
                {
                    fill (buffer, signal, random, position);
                    ScopedAllocationCounter allocations;
                    processor.processBlock (buffer, midi);
                    ASSERT_EQ (allocations.allocations(), 0);

                    const auto problem = problemWith (buffer);
                    ASSERT_TRUE (problem.empty()) << problem << " at " << rate << " Hz, block " << blockSize << ", "
                                                  << name (signal) << ", parameters at " << name (setting);
                    loudest = juce::jmax (loudest, buffer.getMagnitude (0, buffer.getNumSamples()));
                }
            }

            // Silence in must not mean silence out: the hiss stays audible
            // except where the noise parameter is at its floor.
            if (setting != Setting::minimum)
                EXPECT_GT (loudest, 1.0e-4f) << rate << " Hz, " << name (signal) << ", " << name (setting);
        }
}

INSTANTIATE_TEST_SUITE_P (HostRates, EverySampleRate,
                          testing::Values (8000.0, 11025.0, 16000.0, 22050.0, 32000.0, 44100.0, 48000.0, 88200.0,
                                           96000.0, 176400.0, 192000.0, 384000.0),
                          [] (const testing::TestParamInfo<double>& info) { return std::to_string ((int) info.param) + "Hz"; });
