// Proves that the message-thread work a host and a user do while audio runs
// (saving and restoring the project, loading presets, opening and closing
// the editor, saving state from a background thread) never disturbs the
// audio thread: it keeps rendering bounded audio without allocating.
#include "AllocationCounter.h"
#include "ConformanceSupport.h"
#include "PresetLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace conformance;

namespace
{
// Runs processBlock on its own thread, as a host's audio callback does,
// until stopped; records the first problem it sees.
class AudioThread
{
public:
    explicit AudioThread (TapeAudioProcessor& processorToRun) : processor (processorToRun)
    {
        processor.prepareToPlay (48000.0, 256);
        thread = std::thread ([this] { run(); });
    }

    ~AudioThread() { stop(); }

    void stop()
    {
        keepRunning = false;
        if (thread.joinable())
            thread.join();
    }

    int blocksRendered() const { return blocks; }
    std::string problem;
    long allocations = 0;

private:
    void run()
    {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        juce::Random random (3);
        long long position = 0;

        while (keepRunning)
        {
            fill (buffer, Signal::fullScaleNoise, random, position);
            ScopedAllocationCounter counter;
            processor.processBlock (buffer, midi);
            allocations += counter.allocations();
            if (problem.empty())
                problem = problemWith (buffer);
            ++blocks;
        }
    }

    TapeAudioProcessor& processor;
    std::atomic<bool> keepRunning { true };
    std::atomic<int> blocks { 0 };
    std::thread thread;
};

void waitForBlocks (const AudioThread& audio, int count)
{
    while (audio.blocksRendered() < count)
        std::this_thread::yield();
}
} // namespace

TEST (Threading, ProjectStateAndPresetsChangeWhileAudioRuns)
{
    TapeAudioProcessor processor;
    AudioThread audio (processor);
    waitForBlocks (audio, 10);

    const auto& presets = marrowtone::factoryPresets();
    for (int round = 0; round < 200; ++round)
    {
        processor.loadPreset (presets[(size_t) round % presets.size()].name);
        juce::MemoryBlock state;
        processor.getStateInformation (state);
        processor.setStateInformation (state.getData(), (int) state.getSize());
    }

    waitForBlocks (audio, audio.blocksRendered() + 10);
    audio.stop();
    EXPECT_TRUE (audio.problem.empty()) << audio.problem;
    EXPECT_EQ (audio.allocations, 0);
}

TEST (Threading, StateSavedOffTheMessageThreadWhileThePresetNameChanges)
{
    TapeAudioProcessor processor;
    AudioThread audio (processor);

    std::atomic<bool> saving { true };
    std::atomic<int> saves { 0 };
    std::thread saver ([&] {
        while (saving)
        {
            juce::MemoryBlock state;
            processor.getStateInformation (state);
            ++saves;
        }
    });

    for (int round = 0; round < 2000; ++round)
        processor.setCurrentPreset ("usr_take " + juce::String (round));

    while (saves < 10)
        std::this_thread::yield();
    saving = false;
    saver.join();
    audio.stop();

    // The last name set is the one recorded, whole.
    TapeAudioProcessor restored;
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    restored.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (restored.getCurrentPreset(), "usr_take 1999");
    EXPECT_TRUE (audio.problem.empty()) << audio.problem;
}

TEST (Threading, EditorOpensAndClosesWhileAudioRuns)
{
    TapeAudioProcessor processor;
    AudioThread audio (processor);

    for (int round = 0; round < 30; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        ASSERT_NE (editor, nullptr);
        auto image = editor->createComponentSnapshot (editor->getLocalBounds());
        EXPECT_EQ (image.getWidth(), editor->getWidth());
    }

    waitForBlocks (audio, audio.blocksRendered() + 10);
    audio.stop();
    EXPECT_TRUE (audio.problem.empty()) << audio.problem;
    EXPECT_EQ (audio.allocations, 0);
}
