// Measures processBlock on stereo 48 kHz music-like audio at typical host
// block sizes. The "realtime" counter is seconds of audio per second of CPU:
// 100 means one core could run a hundred instances.
#include "PluginProcessor.h"

#include <benchmark/benchmark.h>
#include <juce_events/juce_events.h>

namespace
{
constexpr double rate = 48000.0;

void processBlockAtDefaults (benchmark::State& state)
{
    const auto blockSize = (int) state.range (0);

    TapeAudioProcessor processor;
    processor.prepareToPlay (rate, blockSize);

    // One second of a chord with some noise, so the saturation and the level
    // follower see realistic material rather than silence.
    juce::AudioBuffer<float> source (2, (int) rate);
    juce::Random random (42);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < source.getNumSamples(); ++i)
        {
            const auto t = i / rate;
            const auto tone = [t] (double hz)
            { return std::sin (juce::MathConstants<double>::twoPi * hz * t); };
            source.setSample (c, i, (float) (0.3 * tone (220.0) + 0.2 * tone (277.2) + 0.2 * tone (329.6) + 0.05 * (random.nextFloat() - 0.5f)));
        }

    juce::AudioBuffer<float> block (2, blockSize);
    juce::MidiBuffer midi;
    int position = 0;

    for (auto _ : state)
    {
        if (position + blockSize > source.getNumSamples())
            position = 0;
        for (int c = 0; c < 2; ++c)
            block.copyFrom (c, 0, source, c, position, blockSize);
        processor.processBlock (block, midi);
        benchmark::DoNotOptimize (block.getReadPointer (0));
        position += blockSize;
    }

    state.SetItemsProcessed (state.iterations() * blockSize);
    state.counters["realtime"] = benchmark::Counter ((double) blockSize / rate * (double) state.iterations(),
                                                     benchmark::Counter::kIsRate);
}
} // namespace

BENCHMARK (processBlockAtDefaults)->Arg (64)->Arg (512)->Arg (2048)->MeasureProcessCPUTime();

int main (int argc, char** argv)
{
    juce::ScopedJuceInitialiser_GUI juce;
    benchmark::Initialize (&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
