// The factory function every JUCE plug-in wrapper calls to create an instance.
#include "PluginProcessor.h"

juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new TapeAudioProcessor();
}
