// Collects preset names from the plug-in's own preset library, so the
// renderer accepts exactly the names the editor's menu would offer.
#include "PresetCatalogue.h"

#include "PresetLibrary.h"

namespace marrowtone::render
{
juce::StringArray availablePresetNames()
{
    juce::StringArray names;

    for (const auto& preset : factoryPresets())
        names.add (preset.name);

    for (const auto& file : listUserPresetFiles())
        names.add (file.getFileNameWithoutExtension());

    return names;
}
} // namespace marrowtone::render
