// The block of bytes a host stores with its project: the parameter-state tree
// as one line of XML with the current preset name as the root's "Preset"
// attribute.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

namespace marrowtone
{
void writeProjectState (juce::AudioProcessorValueTreeState& state,
                        const juce::String& presetName,
                        juce::MemoryBlock& destination);

// Applies a block written by writeProjectState. Returns the preset name to
// record, or no value when the block is unusable and must change nothing.
std::optional<juce::String> readProjectState (juce::AudioProcessorValueTreeState& state,
                                              const void* data,
                                              int sizeInBytes);
} // namespace marrowtone
