// Proves the block a host stores with its project: its exact bytes, that it
// restores parameters and preset name, how foreign or partial blocks are
// taken, and that unusable blocks change nothing and are never over-read.
#include "PresetTestSupport.h"
#include "ProjectState.h"

TEST (ProjectState, FreshInstanceWritesTheDocumentedBlock)
{
    TapeAudioProcessor processor;
    juce::MemoryBlock block;
    block.append ("stale", 5);
    processor.getStateInformation (block);

    const std::string expectedText = xmlDeclaration
                                   + "<Tape Preset=\"Default\">"
                                     "<PARAM id=\"flutter\" value=\"2.0\"/>"
                                     "<PARAM id=\"lowPass\" value=\"18000.0\"/>"
                                     "<PARAM id=\"noise\" value=\"-20.0\"/>"
                                     "<PARAM id=\"saturation\" value=\"0.0\"/>"
                                     "<PARAM id=\"wow\" value=\"2.0\"/>"
                                     "</Tape>";
    ASSERT_EQ (block.getSize(), expectedText.size() + 9);

    const auto* bytes = static_cast<const juce::uint8*> (block.getData());
    const juce::uint8 magic[] = { 0x56, 0x43, 0x32, 0x21 };
    EXPECT_EQ (std::memcmp (bytes, magic, 4), 0);
    const auto length = (juce::uint32) bytes[4] | (juce::uint32) bytes[5] << 8 | (juce::uint32) bytes[6] << 16 | (juce::uint32) bytes[7] << 24;
    EXPECT_EQ (length, block.getSize() - 9);
    EXPECT_EQ (bytes[block.getSize() - 1], 0);
    EXPECT_EQ (stateText (block), expectedText);
}

TEST (ProjectState, WrittenBlockRestoresEveryValueAndThePresetName)
{
    TapeAudioProcessor source;
    setUnusualValues (source);
    source.setCurrentPreset ("usr_Tape Hiss");
    const auto written = parameterValues (source);
    juce::MemoryBlock block;
    source.getStateInformation (block);

    TapeAudioProcessor target;
    target.setCurrentPreset ("LoFi");
    target.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_EQ (parameterValues (target), written);
    EXPECT_EQ (target.getCurrentPreset(), "usr_Tape Hiss");
}

TEST (ProjectState, PresetNamesWithMarkupCharactersSurviveARoundTrip)
{
    for (const auto* name : { "R&B \"warm\" <dark> 'x'", "Ünïcødé ☂ tape", "a=b; c>d" })
    {
        TapeAudioProcessor source;
        source.setCurrentPreset (juce::CharPointer_UTF8 (name));
        juce::MemoryBlock block;
        source.getStateInformation (block);
        EXPECT_EQ (stateText (block).find ('\n'), std::string::npos) << name;

        TapeAudioProcessor target;
        target.setStateInformation (block.getData(), (int) block.getSize());
        EXPECT_EQ (target.getCurrentPreset(), juce::String (juce::CharPointer_UTF8 (name)));
    }
}

TEST (ProjectState, RootNameIsMatchedWithoutLetterCaseAndKeptForLaterBlocks)
{
    for (const std::string root : { "tape", "TAPE", "tApE" })
    {
        TapeAudioProcessor processor;
        const auto block = stateBlock (xmlDeclaration + "<" + root + " Preset=\"LoFi\"><PARAM id=\"noise\" value=\"-42.0\"/></" + root + ">");
        processor.setStateInformation (block.getData(), (int) block.getSize());

        EXPECT_EQ (parameterValue (processor, "noise"), -42.0f) << root;
        EXPECT_EQ (processor.getCurrentPreset(), "LoFi");

        juce::MemoryBlock next;
        processor.getStateInformation (next);
        EXPECT_EQ (stateText (next).rfind (xmlDeclaration + "<" + root + " ", 0), 0u) << stateText (next);
    }
}

TEST (ProjectState, BlockWithoutPresetAttributeRestoresValuesAndEmptiesTheName)
{
    TapeAudioProcessor processor;
    const auto block = stateBlock (xmlDeclaration + "<Tape preset=\"wrong case\"><PARAM id=\"wow\" value=\"12.5\"/></Tape>");
    processor.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_EQ (parameterValue (processor, "wow"), 12.5f);
    EXPECT_EQ (processor.getCurrentPreset(), "");
}

TEST (ProjectState, ForeignRootLeavesValuesButStillSetsTheName)
{
    struct Case
    {
        std::string text;
        juce::String expectedName;
    };
    const Case cases[] = {
        { "<Tapes Preset=\"HiFi\"><PARAM id=\"wow\" value=\"50.0\"/></Tapes>", "HiFi" },
        { "<Other><PARAM id=\"wow\" value=\"50.0\"/></Other>", "" },
    };

    for (const auto& c : cases)
    {
        TapeAudioProcessor processor;
        const auto unusualValues = setUnusualValues (processor);
        const auto block = stateBlock (xmlDeclaration + c.text);
        processor.setStateInformation (block.getData(), (int) block.getSize());

        EXPECT_EQ (parameterValues (processor), unusualValues) << c.text;
        EXPECT_EQ (processor.getCurrentPreset(), c.expectedName);
        EXPECT_EQ (processor.parameters.state.getType().toString(), "Tape");
    }
}

TEST (ProjectState, MagicNumberIsNotRequired)
{
    TapeAudioProcessor processor;
    const auto block = stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><PARAM id=\"saturation\" value=\"3.5\"/></Tape>", 0xdeadbeef);
    processor.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_EQ (parameterValue (processor, "saturation"), 3.5f);
    EXPECT_EQ (processor.getCurrentPreset(), "x");
}

TEST (ProjectState, LengthBeyondTheBlockIsLimitedToTheBlock)
{
    TapeAudioProcessor processor;
    auto block = stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><PARAM id=\"saturation\" value=\"-3.5\"/></Tape>");
    block.removeSection (block.getSize() - 1, 1);   // no terminating zero either
    const juce::uint32 hugeLength = 0x7fffffff;
    block.copyFrom (&hugeLength, 4, 4);

    const GuardedBytes guarded (block);
    processor.setStateInformation (guarded.data(), guarded.getSize());

    EXPECT_EQ (parameterValue (processor, "saturation"), -3.5f);
}

TEST (ProjectState, PartialTreeSetsNamedParametersAndKeepsEverythingElse)
{
    TapeAudioProcessor processor;
    const auto unusualValues = setUnusualValues (processor);
    const auto block = stateBlock (xmlDeclaration
                                   + "<Tape Colour=\"red\" Preset=\"Mine\">"
                                     "<PARAM id=\"saturation\" value=\"4.0\"/>"
                                     "<PARAM id=\"wow\"/>"
                                     "<Notes text=\"kept\"/>"
                                     "<PARAM id=\"unknown\" value=\"1.0\"/>"
                                     "</Tape>");
    processor.setStateInformation (block.getData(), (int) block.getSize());

    auto expected = unusualValues;
    expected[marrowtone::saturationIndex] = 4.0f;
    expected[marrowtone::wowIndex] = marrowtone::parameterTable[marrowtone::wowIndex].defaultValue;
    EXPECT_EQ (parameterValues (processor), expected);

    // Children the block did not name are appended after its own, in the
    // parameter-state object's order; foreign children and root attributes
    // are kept, the root attributes ahead of "Preset".
    juce::MemoryBlock next;
    processor.getStateInformation (next);
    const auto xml = juce::parseXML (juce::String (stateText (next)));
    ASSERT_NE (xml, nullptr);
    EXPECT_EQ (xml->getAttributeName (0), "Colour");
    EXPECT_EQ (xml->getAttributeName (1), "Preset");
    EXPECT_EQ (xml->getStringAttribute ("Preset"), "Mine");

    juce::StringArray childOrder;
    for (auto* child : xml->getChildIterator())
        childOrder.add (child->getTagName() + ":" + child->getStringAttribute ("id", child->getStringAttribute ("text")));
    EXPECT_EQ (childOrder.joinIntoString (" "),
               "PARAM:saturation PARAM:wow Notes:kept PARAM:unknown PARAM:flutter PARAM:lowPass PARAM:noise");
}

TEST (ProjectState, UnusableBlocksChangeNothingAndAreNeverOverRead)
{
    const auto valid = stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><PARAM id=\"wow\" value=\"9.0\"/></Tape>");
    auto withLength = [&] (juce::int32 length)
    {
        auto block = valid;
        block.copyFrom (&length, 4, 4);
        return block;
    };
    std::string deepNest = xmlDeclaration + "<Tape Preset=\"deep\">";
    for (int i = 0; i < 100000; ++i)
        deepNest += "<a>";

    struct Case
    {
        const char* what;
        juce::MemoryBlock block;
    };
    const Case cases[] = {
        { "empty", {} },
        { "seven bytes", juce::MemoryBlock (valid.getData(), 7) },
        { "header only", juce::MemoryBlock (valid.getData(), 8) },
        { "negative length", withLength (-5) },
        { "lowest length", withLength (std::numeric_limits<juce::int32>::min()) },
        { "zero length", withLength (0) },
        { "text cut before the root", withLength ((juce::int32) xmlDeclaration.size()) },
        { "not XML", stateBlock ("Preset=\"x\" this is no markup") },
        { "unclosed root", stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><PARAM id=\"wow\" value=\"9.0\"/>") },
        { "zero byte inside the text", stateBlock (xmlDeclaration + std::string ("<Tape Preset=\"x\">\0</Tape>", 25)) },
        { "cut multi-byte character", juce::MemoryBlock ("\x56\x43\x32\x21\x7f\x00\x00\x00<\xf0", 10) },
        { "malformed UTF-8", stateBlock (xmlDeclaration + "<Tape Preset=\"\xff\xfe\"><PARAM id=\"wow\" value=\"9.0\"/></Tape>") },
        { "elements nested beyond any tree", stateBlock (deepNest) },
        { "overlong UTF-8", stateBlock (xmlDeclaration + "<Tape Preset=\"\xc0\xaf\"><PARAM id=\"wow\" value=\"9.0\"/></Tape>") },
        { "instruction inside the root", stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><?pi data?>text<PARAM id=\"wow\" value=\"9.0\"/></Tape>") },
        { "repeated attribute", stateBlock (xmlDeclaration + "<Tape Preset=\"x\"><PARAM id=\"wow\" value=\"9.0\" value=\"50.0\"/></Tape>") },
    };

    for (const auto& c : cases)
    {
        TapeAudioProcessor processor;
        const auto unusualValues = setUnusualValues (processor);
        processor.setCurrentPreset ("Before");

        const GuardedBytes guarded (c.block);
        EXPECT_FALSE (marrowtone::readProjectState (processor.parameters, guarded.data(), guarded.getSize()).has_value()) << c.what;
        processor.setStateInformation (guarded.data(), guarded.getSize());

        EXPECT_EQ (parameterValues (processor), unusualValues) << c.what;
        EXPECT_EQ (processor.getCurrentPreset(), "Before") << c.what;
        EXPECT_EQ (processor.parameters.state.getNumChildren(), 5) << c.what;
    }
}

TEST (ProjectState, ValueThatIsNotANumberSetsTheDefaultInsteadOfReachingTheAudio)
{
    TapeAudioProcessor processor;
    setUnusualValues (processor);

    const auto block = stateBlock (xmlDeclaration + "<Tape Preset=\"odd\"><PARAM id=\"noise\" value=\"nan\"/></Tape>");
    processor.setStateInformation (block.getData(), (int) block.getSize());

    EXPECT_EQ (parameterValue (processor, "noise"), marrowtone::parameterTable[marrowtone::noiseIndex].defaultValue);
    EXPECT_EQ (processor.getCurrentPreset(), "odd");
}
