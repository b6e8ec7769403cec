// The factory preset table, the preset folder and the reading and writing of
// preset files. A preset file is only ever trusted after its whole stream
// has been walked, and a user preset is only ever replaced by a complete one.
#include "PresetLibrary.h"

#include "BinaryData.h"
#include "PresetStreamCheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace marrowtone
{
namespace
{
const juce::Identifier parameterType { "PARAM" };
const juce::Identifier idProperty { "id" };
const juce::Identifier valueProperty { "value" };

// A preset is about two hundred bytes; anything far larger is not one, and
// reading it whole would only cost memory.
constexpr size_t largestPresetFile = 64 * 1024;

// The parameter-state object lists its parameters by ID in byte order, and
// every tree the plug-in writes keeps that layout.
std::array<ParameterIndex, parameterTable.size()> parametersInTreeOrder()
{
    std::array<ParameterIndex, parameterTable.size()> order {};
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = (ParameterIndex) i;

    std::sort (order.begin(), order.end(), [] (auto a, auto b)
               { return std::strcmp (parameterTable[(size_t) a].id, parameterTable[(size_t) b].id) < 0; });
    return order;
}

juce::ValueTree makeParameterChild (ParameterIndex index, float value)
{
    return juce::ValueTree (parameterType, { { idProperty, parameterTable[(size_t) index].id },
                                             { valueProperty, (double) value } });
}

juce::ValueTree readPresetTree (const void* data, size_t size)
{
    if (! holdsOneCompleteValueTree (data, size))
        return {};

    return juce::ValueTree::readFromData (data, size);
}

// The project state writes the parameter-state tree out, so only a real
// preset tree may ever take its place.
bool applyPresetTree (juce::AudioProcessorValueTreeState& state, const juce::ValueTree& tree)
{
    if (! tree.isValid() || ! tree.getType().toString().equalsIgnoreCase (stateTreeType))
        return false;

    replaceParameterState (state, tree);
    return true;
}

juce::File userPresetFile (const juce::File& folder, const juce::String& name)
{
    return folder.getChildFile (name + presetFileExtension);
}

bool loadUserPreset (juce::AudioProcessorValueTreeState& state, const juce::String& name)
{
    const auto folder = preparePresetFolder();

    if (! isSafePresetName (name))
        return false;

    const auto file = userPresetFile (folder, name);

    if (! file.existsAsFile())
        return false;

    juce::FileInputStream input (file);

    if (! input.openedOk())
        return false;

    juce::MemoryBlock bytes;
    input.readIntoMemoryBlock (bytes, (ssize_t) largestPresetFile + 1);

    if (bytes.getSize() > largestPresetFile)
        return false;

    return applyPresetTree (state, readPresetTree (bytes.getData(), bytes.getSize()));
}

// A short write is not reported by the file stream, so the file is read back
// before it is allowed to replace anything.
bool writeCompletely (const juce::File& file, const juce::MemoryBlock& bytes)
{
    {
        juce::FileOutputStream output (file);

        if (! output.openedOk() || ! output.write (bytes.getData(), bytes.getSize()))
            return false;

        output.flush();

        if (output.getStatus().failed())
            return false;
    }

    juce::MemoryBlock written;
    return file.loadFileAsData (written) && written == bytes;
}
} // namespace

float FactoryPreset::value (ParameterIndex index) const
{
    switch (index)
    {
        case saturationIndex: return saturation;
        case lowPassIndex:    return lowPass;
        case noiseIndex:      return noise;
        case wowIndex:        return wow;
        case flutterIndex:    return flutter;
    }

    return 0.0f;
}

const std::array<FactoryPreset, 15>& factoryPresets()
{
    using namespace BinaryData;

    // The values are the parameters' own single-precision values, as the
    // parameters snap them, so loading a preset reproduces them bit for bit.
    static const std::array<FactoryPreset, 15> presets { {
        { "Default", default_mtpreset, default_mtpresetSize,
          0.0f, 18000.0f, -20.0f, 2.0f, 2.0f, "default.mtpreset" },
        { "Bass Movement", bass_movement_mtpreset, bass_movement_mtpresetSize,
          5.459999084472656f, 8000.0f, -69.93000030517578f, 21.420000076293945f, 12.929999351501465f, "bass_movement.mtpreset" },
        { "Earthquake Take", earthquake_take_mtpreset, earthquake_take_mtpresetSize,
          3.010000228881836f, 20473.0f, -26.720001220703125f, 68.81999969482422f, 60.94999694824219f, "earthquake_take.mtpreset" },
        { "ELQ", elq_mtpreset, elq_mtpresetSize,
          -4.0f, 18055.0f, 0.0f, 4.400000095367432f, 0.0f, "elq.mtpreset" },
        { "Exterminate!", exterminate_mtpreset, exterminate_mtpresetSize,
          5.289999008178711f, 20000.0f, -80.0f, 39.599998474121094f, 34.5f, "exterminate.mtpreset" },
        { "Gentle RingMod", gentle_ringmod_mtpreset, gentle_ringmod_mtpresetSize,
          1.7299995422363281f, 12762.0f, -80.0f, 1.8499999046325684f, 5.380000114440918f, "gentle_ringmod.mtpreset" },
        { "Grandma's Piano", grandmas_piano_mtpreset, grandmas_piano_mtpresetSize,
          0.4399986267089844f, 10665.0f, -80.0f, 6.649999618530273f, 0.0f, "grandmas_piano.mtpreset" },
        { "HiFi", hifi_mtpreset, hifi_mtpresetSize,
          0.0f, 22000.0f, -34.02000045776367f, 1.0f, 1.0f, "hifi.mtpreset" },
        { "Honey, I Melted The Kids", honey_i_melted_the_kids_mtpreset, honey_i_melted_the_kids_mtpresetSize,
          2.539999008178711f, 15142.0f, -30.110000610351562f, 68.18000030517578f, 22.19999885559082f, "honey_i_melted_the_kids.mtpreset" },
        { "Just Noise", just_noise_mtpreset, just_noise_mtpresetSize,
          0.0f, 22000.0f, -19.94000244140625f, 0.0f, 0.0f, "just_noise.mtpreset" },
        { "Left In The Sun", left_in_the_sun_mtpreset, left_in_the_sun_mtpresetSize,
          6.189998626708984f, 14669.0f, -28.18000030517578f, 38.98999786376953f, 0.0f, "left_in_the_sun.mtpreset" },
        { "LoFi", lofi_mtpreset, lofi_mtpresetSize,
          0.8299999237060547f, 12000.0f, -21.93000030517578f, 3.0f, 3.0f, "lofi.mtpreset" },
        { "Saturation is King", saturation_is_king_mtpreset, saturation_is_king_mtpresetSize,
          9.540000915527344f, 22000.0f, -80.0f, 0.0f, 0.0f, "saturation_is_king.mtpreset" },
        { "Softly Softly", softly_softly_mtpreset, softly_softly_mtpresetSize,
          2.489999771118164f, 15499.0f, -38.94000244140625f, 2.0f, 2.0f, "softly_softly.mtpreset" },
        { "Warm Vibrato", warm_vibrato_mtpreset, warm_vibrato_mtpresetSize,
          6.769998550415039f, 9394.0f, -47.459999084472656f, 10.239999771118164f, 0.0f, "warm_vibrato.mtpreset" },
    } };

    return presets;
}

juce::ValueTree makeFactoryPresetTree (const FactoryPreset& preset)
{
    juce::ValueTree tree (stateTreeType);

    for (auto index : parametersInTreeOrder())
        tree.appendChild (makeParameterChild (index, preset.value (index)), nullptr);

    return tree;
}

void replaceParameterState (juce::AudioProcessorValueTreeState& state, juce::ValueTree newState)
{
    for (auto index : parametersInTreeOrder())
    {
        const juce::var id (parameterTable[(size_t) index].id);
        auto named = false;

        for (auto child : newState)
        {
            if (child[idProperty] != id)
                continue;

            named = true;

            // Values read from XML are text. Held as the numbers the plug-in's
            // own tree holds, a preset saved later keeps the factory layout.
            if (child[valueProperty].isString())
                child.setProperty (valueProperty, child[valueProperty].toString().getDoubleValue(), nullptr);

            // The framework's clamping lets "nan" through to the parameter
            // and on to the audio thread. Not a number is no value at all,
            // which sets the parameter to its default.
            if (std::isnan ((double) child[valueProperty]))
                child.removeProperty (valueProperty, nullptr);
        }

        if (! named)
            newState.appendChild (makeParameterChild (index, state.getRawParameterValue (id.toString())->load()), nullptr);
    }

    state.replaceState (newState);
}

juce::File preparePresetFolder()
{
    const auto folder = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory)
                            .getChildFile ("Application Support")
                            .getChildFile ("Quillfen")
                            .getChildFile ("Tape");

    if (! folder.isDirectory())
        folder.createDirectory();

    return folder;
}

bool isSafePresetName (const juce::String& name)
{
    if (name.isEmpty() || name.contains ("..") || name.startsWithChar ('~'))
        return false;

    for (auto character : name)
        if (character < 0x20 || character == 0x7f || character == '/' || character == '\\' || character == ':')
            return false;

    return true;
}

juce::Array<juce::File> listUserPresetFiles()
{
    auto files = preparePresetFolder().findChildFiles (juce::File::findFiles, false,
                                                       juce::String ("*") + presetFileExtension);

    files.removeIf ([] (const juce::File& file)
                    { return ! isSafePresetName (file.getFileNameWithoutExtension()); });

    return files;
}

bool loadPreset (juce::AudioProcessorValueTreeState& state, const juce::String& name)
{
    for (const auto& preset : factoryPresets())
        if (name == juce::String (preset.name))
            return applyPresetTree (state, readPresetTree (preset.data, (size_t) preset.size));

    return loadUserPreset (state, name);
}

bool saveUserPreset (juce::AudioProcessorValueTreeState& state, const juce::String& name)
{
    const auto folder = preparePresetFolder();

    if (! isSafePresetName (name))
        return false;

    const auto target = userPresetFile (folder, name);

    if (target.isDirectory())
        return false;

    juce::MemoryBlock bytes;
    {
        juce::MemoryOutputStream stream (bytes, false);
        state.copyState().writeToStream (stream);
    }

    // The new preset is written beside the old one and renamed over it, so
    // a failed save never costs the user the preset they had. The temporary
    // name does not end in the preset extension, so the menu never lists it.
    const auto temporary = folder.getChildFile (".saving-" + juce::Uuid().toString());

    if (writeCompletely (temporary, bytes) && temporary.replaceFileIn (target))
        return true;

    temporary.deleteFile();
    return false;
}
} // namespace marrowtone
