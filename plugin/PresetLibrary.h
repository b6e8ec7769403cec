// Factory presets embedded in the plug-in and user preset files in the
// per-user preset folder. Everything here runs on the message thread.
#pragma once

#include "ParameterTable.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>

namespace marrowtone
{
// The type of the parameter-state tree, of every preset tree and of the
// project state's root element.
inline constexpr const char* stateTreeType = "Tape";

// The extension of every preset file, embedded or in the preset folder.
inline constexpr const char* presetFileExtension = ".mtpreset";

struct FactoryPreset
{
    const char* name;
    const char* data;   // the embedded value-tree stream
    int size;
    float saturation, lowPass, noise, wow, flutter;
    const char* resourceFile;   // its file below assets/presets

    float value (ParameterIndex index) const;
};

// The fifteen factory presets in menu order (menu item IDs 1 to 15).
const std::array<FactoryPreset, 15>& factoryPresets();

// The tree a factory preset's resource holds: the parameter-state tree's
// layout with the preset's values, children ordered by parameter ID.
juce::ValueTree makeFactoryPresetTree (const FactoryPreset& preset);

// Makes newState the parameter-state tree. A parameter the new tree does not
// name keeps its value and gets a child of its own after the tree's children;
// left to the framework it would fall back to its default.
void replaceParameterState (juce::AudioProcessorValueTreeState& state, juce::ValueTree newState);

// <user application data>/Application Support/Quillfen/Tape, created with
// its parents when missing (failures are ignored).
juce::File preparePresetFolder();

// A user preset name is usable only if its file stays directly inside the
// preset folder: not empty, no path separators (/ \ :), no "..", no leading
// "~" (a home folder to the file API), no control characters.
bool isSafePresetName (const juce::String& name);

// The user preset files in the folder, in the order the folder lists them.
// Files whose names could not be loaded back are left out.
juce::Array<juce::File> listUserPresetFiles();

// Factory names first (byte-exact), then a user preset file of that name.
// Returns false and changes nothing when nothing valid could be loaded.
bool loadPreset (juce::AudioProcessorValueTreeState& state, const juce::String& name);

// Writes the current parameter-state tree to <name>.mtpreset, replacing an
// older file only once the new one is completely written.
bool saveUserPreset (juce::AudioProcessorValueTreeState& state, const juce::String& name);
} // namespace marrowtone
