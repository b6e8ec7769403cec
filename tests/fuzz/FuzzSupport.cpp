// The shared start-up and invariants of the fuzzing harnesses.
#include "FuzzSupport.h"

#include "PresetLibrary.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzzing
{
namespace
{
constexpr double sampleRate = 48000.0;
constexpr int blockSize = 64;
} // namespace

void startJuceInScratchHome()
{
    static auto home = (std::filesystem::temp_directory_path() / "marrowtone-fuzz-XXXXXX").string();
    require (mkdtemp (home.data()) != nullptr);
    std::atexit ([]
                 { std::filesystem::remove_all (home); });

    setenv ("HOME", home.c_str(), 1);
    setenv ("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);

    // Never shut down: the harnesses keep processors in statics, and at exit
    // JUCE's own statics may already be gone, so an orderly shutdown is not
    // possible. The process ends right after anyway.
    static const auto* const juceRuntime = new juce::ScopedJuceInitialiser_GUI();
    juce::ignoreUnused (juceRuntime);
}

ParameterValues parameterValues (TapeAudioProcessor& processor)
{
    ParameterValues values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = processor.parameters.getRawParameterValue (marrowtone::parameterTable[i].id)->load();
    return values;
}

juce::String stateText (TapeAudioProcessor& processor)
{
    return processor.parameters.copyState().toXmlString();
}

void requireUsableProcessor (TapeAudioProcessor& processor)
{
    const auto values = parameterValues (processor);
    for (size_t i = 0; i < values.size(); ++i)
    {
        const auto& definition = marrowtone::parameterTable[i];
        require (std::isfinite (values[i]) && values[i] >= definition.minimum && values[i] <= definition.maximum);
    }

    require (processor.parameters.state.getType().toString().equalsIgnoreCase (marrowtone::stateTreeType));

    if (processor.getSampleRate() != sampleRate)
        processor.prepareToPlay (sampleRate, blockSize);

    juce::AudioBuffer<float> buffer (2, blockSize);
    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < blockSize; ++i)
            buffer.setSample (channel, i, (float) std::sin (0.05 * i));

    juce::MidiBuffer midi;
    processor.processBlock (buffer, midi);

    for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        for (int i = 0; i < blockSize; ++i)
            require (std::isfinite (buffer.getSample (channel, i)));
}

void requireStateSurvivesRoundTrip (TapeAudioProcessor& processor)
{
    juce::MemoryBlock written;
    processor.getStateInformation (written);

    TapeAudioProcessor reader;
    reader.setCurrentPreset ("not restored");
    reader.setStateInformation (written.getData(), (int) written.getSize());

    require (parameterValues (reader) == parameterValues (processor));
    require (reader.getCurrentPreset() == processor.getCurrentPreset());
}
} // namespace fuzzing
