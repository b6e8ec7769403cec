// Feeds arbitrary bytes to the processor as a host's saved project state.
// A block the reader turns down changes nothing at all; any block leaves a
// usable processor whose own next block reads back exactly.
#include "FuzzSupport.h"

#include <limits>

namespace
{
// No block can name this preset: it is made afresh in every run, so a
// preset name still equal to it after reading means the block was refused.
juce::String refusedMarker;
} // namespace

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    fuzzing::startJuceInScratchHome();
    refusedMarker = "unread " + juce::Uuid().toString();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // One instance for the whole run, as a host keeps one through many
    // restores: damage left by one block must show up in the next.
    static TapeAudioProcessor processor;

    if (size > (std::size_t) std::numeric_limits<int>::max())
        return -1;

    processor.setCurrentPreset (refusedMarker);
    const auto valuesBefore = fuzzing::parameterValues (processor);
    const auto treeBefore = processor.parameters.state;
    const auto textBefore = fuzzing::stateText (processor);

    processor.setStateInformation (data, (int) size);

    if (processor.getCurrentPreset() == refusedMarker)
    {
        fuzzing::require (fuzzing::parameterValues (processor) == valuesBefore);
        fuzzing::require (processor.parameters.state == treeBefore);
        fuzzing::require (fuzzing::stateText (processor) == textBefore);
    }

    fuzzing::requireUsableProcessor (processor);
    fuzzing::requireStateSurvivesRoundTrip (processor);
    return 0;
}
