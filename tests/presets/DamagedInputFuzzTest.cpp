// Proves, on seeded random and truncated input, that no project-state block
// and no preset file can crash the plug-in, read past its bytes or change
// its parameters.
#include "PresetTestSupport.h"
#include "ProjectState.h"

namespace
{
juce::MemoryBlock randomBytes (juce::Random& random, int maximumSize)
{
    juce::MemoryBlock bytes ((size_t) random.nextInt (maximumSize + 1));
    random.fillBitsRandomly (bytes.getData(), bytes.getSize());
    return bytes;
}

// Random bytes behind a real header or a real tree start now and then, so
// the readers get past their first check.
juce::MemoryBlock withPrefix (juce::Random& random, const juce::MemoryBlock& valid, juce::MemoryBlock bytes)
{
    if (random.nextBool())
        bytes.copyFrom (valid.getData(), 0, juce::jmin (bytes.getSize(), (size_t) random.nextInt (24)));
    return bytes;
}
} // namespace

TEST (DamagedInput, RandomAndTruncatedStateBlocksNeitherCrashNorChangeAnything)
{
    TapeAudioProcessor source;
    setUnusualValues (source);
    juce::MemoryBlock valid;
    source.getStateInformation (valid);

    TapeAudioProcessor processor;
    processor.setCurrentPreset ("Before");
    const auto before = parameterValues (processor);

    // Every cut that loses at least the root's closing tag, down to nothing.
    // (The XML parser closes an element at any "</", so cuts inside that tag
    // lose nothing.)
    const size_t closingTagAndTerminator = std::strlen ("</Tape>") + 1;
    for (size_t size = 0; size + closingTagAndTerminator < valid.getSize(); ++size)
    {
        const GuardedBytes block (juce::MemoryBlock (valid.getData(), size));
        processor.setStateInformation (block.data(), block.getSize());
        ASSERT_EQ (parameterValues (processor), before) << "cut to " << size;
    }

    juce::Random random (20260211);
    for (int i = 0; i < 3000; ++i)
    {
        const GuardedBytes block (withPrefix (random, valid, randomBytes (random, 400)));
        processor.setStateInformation (block.data(), block.getSize());
        ASSERT_EQ (parameterValues (processor), before) << "random block " << i;
    }

    EXPECT_EQ (processor.parameters.state.getType().toString(), "Tape");
}

class DamagedPresetFiles : public PresetFolderTest
{
};

TEST_F (DamagedPresetFiles, RandomAndTruncatedPresetFilesNeitherCrashNorChangeAnything)
{
    TapeAudioProcessor writer;
    setUnusualValues (writer);
    ASSERT_TRUE (marrowtone::saveUserPreset (writer.parameters, "usr_valid"));
    const auto valid = fileBytes (userFile ("usr_valid"));

    TapeAudioProcessor processor;
    const auto before = parameterValues (processor);
    const auto file = userFile ("usr_fuzz");

    const auto load = [&] (const juce::MemoryBlock& bytes)
    {
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return marrowtone::loadPreset (processor.parameters, "usr_fuzz");
    };
    const auto unchanged = [&]
    {
        return parameterValues (processor) == before && processor.parameters.state.hasType ("Tape");
    };

    for (size_t size = 0; size < valid.getSize(); ++size)
    {
        ASSERT_FALSE (load (juce::MemoryBlock (valid.getData(), size))) << "cut to " << size;
        ASSERT_TRUE (unchanged()) << "cut to " << size;
    }

    // Now and then random bytes behind a real start make up a complete
    // "Tape" tree that names no parameter, which may load; so only the
    // parameters and the tree type are checked here.
    juce::Random random (4711);
    for (int i = 0; i < 1500; ++i)
    {
        load (withPrefix (random, valid, randomBytes (random, 300)));
        ASSERT_TRUE (unchanged()) << "random file " << i;
    }
}
