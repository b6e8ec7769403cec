// The preset names the renderer accepts, in the order they are listed.
#pragma once

#include <juce_core/juce_core.h>

namespace marrowtone::render
{
// The factory presets in menu order, then the user preset files in the
// order the preset folder lists them.
juce::StringArray availablePresetNames();
} // namespace marrowtone::render
