// Writes every factory preset of the preset table as the value-tree stream
// the plug-in embeds, one file per preset, into the folder given as the only
// argument. The table in the plug-in stays the single source of the values.
#include "PresetLibrary.h"

#include <iostream>

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: make-factory-presets <assets/presets folder>\n";
        return 2;
    }

    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);

    if (! folder.isDirectory())
    {
        std::cerr << "not a folder: " << folder.getFullPathName() << "\n";
        return 1;
    }

    for (const auto& preset : marrowtone::factoryPresets())
    {
        juce::MemoryOutputStream stream;
        marrowtone::makeFactoryPresetTree (preset).writeToStream (stream);

        const auto file = folder.getChildFile (preset.resourceFile);

        if (! file.replaceWithData (stream.getData(), stream.getDataSize()))
        {
            std::cerr << "cannot write " << file.getFullPathName() << "\n";
            return 1;
        }

        std::cout << file.getFileName() << ": " << stream.getDataSize() << " bytes\n";
    }

    return 0;
}
