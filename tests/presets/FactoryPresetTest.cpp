// Proves the fifteen embedded factory presets: their bytes, the values they
// hold and set, and that loading matches factory names exactly.
#include "BinaryData.h"
#include "PresetTestSupport.h"

namespace
{
struct ReferencePreset
{
    const char* name;
    double saturation, lowPass, noise, wow, flutter;
};

// The published preset table, typed independently of the plug-in's own, as
// the doubles each resource must hold.
const ReferencePreset referencePresets[] = {
    { "Default", 0, 18000, -20, 2, 2 },
    { "Bass Movement", 5.459999084472656, 8000, -69.93000030517578, 21.420000076293945, 12.929999351501465 },
    { "Earthquake Take", 3.010000228881836, 20473, -26.720001220703125, 68.81999969482422, 60.94999694824219 },
    { "ELQ", -4, 18055, 0, 4.400000095367432, 0 },
    { "Exterminate!", 5.289999008178711, 20000, -80, 39.599998474121094, 34.5 },
    { "Gentle RingMod", 1.7299995422363281, 12762, -80, 1.8499999046325684, 5.380000114440918 },
    { "Grandma's Piano", 0.4399986267089844, 10665, -80, 6.649999618530273, 0 },
    { "HiFi", 0, 22000, -34.02000045776367, 1, 1 },
    { "Honey, I Melted The Kids", 2.539999008178711, 15142, -30.110000610351562, 68.18000030517578, 22.19999885559082 },
    { "Just Noise", 0, 22000, -19.94000244140625, 0, 0 },
    { "Left In The Sun", 6.189998626708984, 14669, -28.18000030517578, 38.98999786376953, 0 },
    { "LoFi", 0.8299999237060547, 12000, -21.93000030517578, 3, 3 },
    { "Saturation is King", 9.540000915527344, 22000, -80, 0, 0 },
    { "Softly Softly", 2.489999771118164, 15499, -38.94000244140625, 2, 2 },
    { "Warm Vibrato", 6.769998550415039, 9394, -47.459999084472656, 10.239999771118164, 0 },
};

// Children in the order the resources hold them, with the reference value.
std::vector<std::pair<juce::String, double>> expectedChildren (const ReferencePreset& preset)
{
    return { { "flutter", preset.flutter }, { "lowPass", preset.lowPass }, { "noise", preset.noise },
             { "saturation", preset.saturation }, { "wow", preset.wow } };
}

juce::MemoryBlock fromHex (const std::string& hex)
{
    juce::MemoryBlock bytes;
    bytes.loadFromHexString (hex);
    return bytes;
}

struct NotificationCounter : juce::AudioProcessorListener
{
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override { ++changes; }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    int changes = 0;
};
} // namespace

TEST (FactoryPresets, EveryResourceIs205BytesAndHoldsItsRowValues)
{
    const auto& presets = marrowtone::factoryPresets();
    ASSERT_EQ (presets.size(), std::size (referencePresets));

    for (size_t i = 0; i < presets.size(); ++i)
    {
        const auto& reference = referencePresets[i];
        EXPECT_STREQ (presets[i].name, reference.name);
        ASSERT_EQ (presets[i].size, 205) << reference.name;

        // The committed resource is what the generator makes of the table now.
        juce::MemoryOutputStream generated;
        marrowtone::makeFactoryPresetTree (presets[i]).writeToStream (generated);
        EXPECT_EQ (generated.getMemoryBlock(), juce::MemoryBlock (presets[i].data, (size_t) presets[i].size)) << reference.name;

        const auto tree = juce::ValueTree::readFromData (presets[i].data, (size_t) presets[i].size);
        EXPECT_EQ (tree.getType().toString(), "Tape");
        EXPECT_EQ (tree.getNumProperties(), 0);
        const auto children = expectedChildren (reference);
        ASSERT_EQ (tree.getNumChildren(), (int) children.size()) << reference.name;

        for (int c = 0; c < tree.getNumChildren(); ++c)
        {
            const auto child = tree.getChild (c);
            EXPECT_EQ (child.getType().toString(), "PARAM");
            EXPECT_EQ (child.getPropertyName (0).toString(), "id");
            EXPECT_EQ (child.getPropertyName (1).toString(), "value");
            EXPECT_EQ (child["id"].toString(), children[(size_t) c].first) << reference.name;
            EXPECT_TRUE (child["value"].isDouble());
            EXPECT_EQ ((double) child["value"], children[(size_t) c].second) << reference.name << " " << children[(size_t) c].first;
        }
    }
}

TEST (FactoryPresets, DefaultResourceIsTheWorkedExampleByteForByte)
{
    const auto param = [] (const std::string& idHex, const std::string& valueHex)
    {
        return "504152414d00" "0102" "696400" + idHex + "76616c756500" "0109" "04" + valueHex + "00";
    };
    const auto expected = fromHex ("546170650000" "0105"
                                   + param ("0109" "05" "666c757474657200", "0000000000000040")
                                   + param ("0109" "05" "6c6f775061737300", "0000000000" "94d140")
                                   + param ("0107" "05" "6e6f69736500", "000000000000" "34c0")
                                   + param ("010c" "05" "73617475726174696f6e00", "0000000000000000")
                                   + param ("0105" "05" "776f7700", "0000000000000040"));
    ASSERT_EQ (expected.getSize(), 205u);

    const auto& preset = marrowtone::factoryPresets()[0];
    EXPECT_EQ (juce::MemoryBlock (preset.data, (size_t) preset.size), expected);
    EXPECT_EQ (juce::MemoryBlock (BinaryData::default_mtpreset, (size_t) BinaryData::default_mtpresetSize), expected);
}

TEST (FactoryPresets, LoadingEachPresetSetsItsValuesBitForBitAndTheResourceOrder)
{
    TapeAudioProcessor processor;

    for (const auto& reference : referencePresets)
    {
        setUnusualValues (processor);
        ASSERT_TRUE (marrowtone::loadPreset (processor.parameters, reference.name)) << reference.name;

        const ParameterValues expected { (float) reference.saturation, (float) reference.lowPass, (float) reference.noise,
                                         (float) reference.wow, (float) reference.flutter };
        EXPECT_EQ (parameterValues (processor), expected) << reference.name;

        juce::StringArray order;
        for (const auto& child : processor.parameters.state)
            order.add (child["id"].toString());
        EXPECT_EQ (order.joinIntoString (","), "flutter,lowPass,noise,saturation,wow");
    }
}

TEST (FactoryPresets, ProcessorLoadsByNameAndReloadingSendsNoChanges)
{
    TapeAudioProcessor processor;
    NotificationCounter counter;
    processor.addListener (&counter);

    processor.loadPreset ("Just Noise");
    EXPECT_EQ (parameterValues (processor), (ParameterValues { 0.0f, 22000.0f, -19.94000244140625f, 0.0f, 0.0f }));
    EXPECT_GT (counter.changes, 0);

    counter.changes = 0;
    processor.loadPreset ("Just Noise");
    EXPECT_EQ (counter.changes, 0);
    processor.removeListener (&counter);
}

class FactoryPresetNames : public PresetFolderTest
{
};

TEST_F (FactoryPresetNames, NearMissesAreNotFactoryNamesAndAFileNamedLikeOneIsNeverRead)
{
    // Files carrying other values under a factory name and under near misses.
    TapeAudioProcessor writer;
    const auto unusualValues = setUnusualValues (writer);
    for (const auto* name : { "LoFi", "lofi", " LoFi", "LoFi " })
        ASSERT_TRUE (marrowtone::saveUserPreset (writer.parameters, name));

    TapeAudioProcessor processor;
    ASSERT_TRUE (marrowtone::loadPreset (processor.parameters, "LoFi"));
    EXPECT_EQ (parameterValue (processor, "lowPass"), 12000.0f);

    for (const auto* nearMiss : { "lofi", " LoFi", "LoFi " })
    {
        marrowtone::loadPreset (processor.parameters, "Default");
        ASSERT_TRUE (marrowtone::loadPreset (processor.parameters, nearMiss)) << nearMiss;
        EXPECT_EQ (parameterValues (processor), unusualValues) << nearMiss;
    }
}
