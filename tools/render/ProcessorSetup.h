// Sets a processor up for one render the way a host would before playback.
#pragma once

#include "RenderOptions.h"

#include <juce_core/juce_core.h>

class TapeAudioProcessor;

namespace marrowtone::render
{
// Matches the buses to the file (1 or 2 channels), loads the preset, applies
// the --set values after it and prepares at sampleRate with the option's
// block size. The preset must already be known to exist.
juce::Result setUpProcessor (TapeAudioProcessor& processor, const RenderOptions& options,
                             int numChannels, double sampleRate);
} // namespace marrowtone::render
