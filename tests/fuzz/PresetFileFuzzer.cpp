// Loads arbitrary bytes as a user preset file from the preset folder. A
// refused file changes nothing; a loaded one leaves a usable processor that
// saves a preset and a project state which both read back exactly.
#include "FuzzSupport.h"

#include "PresetLibrary.h"


namespace
{
const juce::String fuzzedName { "fuzzed" };
const juce::String resavedName { "resaved" };

juce::File userPresetFile (const juce::String& name)
{
    return marrowtone::preparePresetFolder().getChildFile (name + marrowtone::presetFileExtension);
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    fuzzing::startJuceInScratchHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    static TapeAudioProcessor processor;

    fuzzing::require (userPresetFile (fuzzedName).replaceWithData (data, size));

    const auto valuesBefore = fuzzing::parameterValues (processor);
    const auto treeBefore = processor.parameters.state;
    const auto textBefore = fuzzing::stateText (processor);

    if (! marrowtone::loadPreset (processor.parameters, fuzzedName))
    {
        fuzzing::require (fuzzing::parameterValues (processor) == valuesBefore);
        fuzzing::require (processor.parameters.state == treeBefore);
        fuzzing::require (fuzzing::stateText (processor) == textBefore);
        return 0;
    }

    fuzzing::requireUsableProcessor (processor);
    fuzzing::requireStateSurvivesRoundTrip (processor);

    fuzzing::require (marrowtone::saveUserPreset (processor.parameters, resavedName));
    TapeAudioProcessor reader;
    fuzzing::require (marrowtone::loadPreset (reader.parameters, resavedName));
    fuzzing::require (fuzzing::parameterValues (reader) == fuzzing::parameterValues (processor));
    return 0;
}
