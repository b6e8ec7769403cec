// Proves user preset files: where they live, that they equal the factory
// layout byte for byte and reload bit for bit, and that no name, damaged
// file or failed save can reach outside the folder or lose a preset.
#include "BinaryData.h"
#include "PresetTestSupport.h"
#include "ProjectState.h"

#include <csignal>
#include <sys/resource.h>

class UserPresets : public PresetFolderTest
{
};

TEST_F (UserPresets, FolderIsBelowTheUserApplicationDataFolderAndCreatedWithItsParents)
{
    const auto base = juce::File::getSpecialLocation (juce::File::userApplicationDataDirectory);
    EXPECT_EQ (folder, base.getChildFile ("Application Support/Quillfen/Tape"));
#if JUCE_LINUX
    EXPECT_EQ (base, juce::File (juce::SystemStats::getEnvironmentVariable ("XDG_CONFIG_HOME", {})));
#endif

    base.getChildFile ("Application Support").deleteRecursively();
    TapeAudioProcessor processor;
    EXPECT_FALSE (marrowtone::loadPreset (processor.parameters, ""));
    EXPECT_TRUE (folder.isDirectory());
}

TEST_F (UserPresets, SavedPresetEqualsTheFactoryResourceWithTheSameValues)
{
    TapeAudioProcessor processor;
    for (const auto& preset : marrowtone::factoryPresets())
    {
        ASSERT_TRUE (marrowtone::loadPreset (processor.parameters, preset.name));
        ASSERT_TRUE (marrowtone::saveUserPreset (processor.parameters, "usr_copy"));
        EXPECT_EQ (fileBytes (userFile ("usr_copy")), juce::MemoryBlock (preset.data, (size_t) preset.size)) << preset.name;
    }

    // A fresh instance holds the defaults, which are exactly "Default".
    TapeAudioProcessor fresh;
    ASSERT_TRUE (marrowtone::saveUserPreset (fresh.parameters, "usr_fresh"));
    EXPECT_EQ (fileBytes (userFile ("usr_fresh")), juce::MemoryBlock (BinaryData::default_mtpreset, (size_t) BinaryData::default_mtpresetSize));
}

TEST_F (UserPresets, SavedPresetReloadsBitForBitAndReplacesAnOlderFileOfThatName)
{
    TapeAudioProcessor processor;
    ASSERT_TRUE (marrowtone::saveUserPreset (processor.parameters, "usr_Mine"));

    setUnusualValues (processor);
    const auto saved = parameterValues (processor);
    ASSERT_TRUE (marrowtone::saveUserPreset (processor.parameters, "usr_Mine"));
    EXPECT_EQ (userFile ("usr_Mine").getSize(), 205);

    processor.loadPreset ("Warm Vibrato");
    processor.loadPreset ("usr_Mine");
    EXPECT_EQ (parameterValues (processor), saved);
    EXPECT_EQ (folderEntries(), juce::StringArray ("usr_Mine.mtpreset"));
}

TEST_F (UserPresets, PresetSavedAfterRestoringAProjectKeepsTheFactoryLayout)
{
    TapeAudioProcessor source;
    source.loadPreset ("LoFi");
    juce::MemoryBlock block;
    source.getStateInformation (block);

    TapeAudioProcessor restored;
    restored.setStateInformation (block.getData(), (int) block.getSize());
    ASSERT_TRUE (marrowtone::saveUserPreset (restored.parameters, "usr_restored"));
    EXPECT_EQ (fileBytes (userFile ("usr_restored")), juce::MemoryBlock (BinaryData::lofi_mtpreset, (size_t) BinaryData::lofi_mtpresetSize));
}

TEST_F (UserPresets, CopiedResourceIsListedAndLoadsWhateverTheChildOrder)
{
    userFile ("usr_Copied").replaceWithData (BinaryData::hifi_mtpreset, (size_t) BinaryData::hifi_mtpresetSize);

    auto reversed = juce::ValueTree::readFromData (BinaryData::elq_mtpreset, (size_t) BinaryData::elq_mtpresetSize);
    for (int i = 0; i < reversed.getNumChildren(); ++i)
        reversed.moveChild (reversed.getNumChildren() - 1, i, nullptr);
    juce::FileOutputStream reversedFile (userFile (".usr_Reversed"));
    reversed.writeToStream (reversedFile);
    reversedFile.flush();

    folder.getChildFile ("notes.txt").replaceWithText ("not a preset");
    folder.getChildFile ("usr_folder.mtpreset").createDirectory();

    juce::StringArray listed;
    for (const auto& file : marrowtone::listUserPresetFiles())
        listed.add (file.getFileNameWithoutExtension());
    listed.sort (false);
    EXPECT_EQ (listed, juce::StringArray (".usr_Reversed", "usr_Copied"));

    TapeAudioProcessor processor;
    processor.loadPreset ("usr_Copied");
    EXPECT_EQ (parameterValue (processor, "lowPass"), 22000.0f);
    processor.loadPreset (".usr_Reversed");
    EXPECT_EQ (parameterValues (processor), (ParameterValues { -4.0f, 18055.0f, 0.0f, 4.400000095367432f, 0.0f }));
}

TEST_F (UserPresets, NamesThatCouldLeaveTheFolderAreRefusedByLoadAndSave)
{
    // A preset lying where an escaping name would lead.
    const auto outside = folder.getParentDirectory();
    TapeAudioProcessor writer;
    setUnusualValues (writer);
    ASSERT_TRUE (marrowtone::saveUserPreset (writer.parameters, "usr_bait"));
    for (const auto* target : { "evil.mtpreset", "x.mtpreset" })
        userFile ("usr_bait").copyFileTo (outside.getChildFile (target));
    const auto outsideBefore = outside.findChildFiles (juce::File::findFilesAndDirectories, true).size();

    const juce::String unsafeNames[] = {
        "../evil", "..", "x..y", "a/b", "/tmp/x", "a\\b", "c:x", "~root", "~", "",
        "tab\tname", "line\nbreak", juce::String::charToString (0x7f), juce::String::charToString (1),
        "../Tape/x"
    };

    TapeAudioProcessor processor;
    const auto defaults = parameterValues (processor);

    for (const auto& name : unsafeNames)
    {
        EXPECT_FALSE (marrowtone::isSafePresetName (name)) << name;
        EXPECT_FALSE (marrowtone::loadPreset (processor.parameters, name)) << name;
        EXPECT_EQ (parameterValues (processor), defaults) << name;
        EXPECT_FALSE (marrowtone::saveUserPreset (processor.parameters, name)) << name;
    }

    EXPECT_EQ (outside.findChildFiles (juce::File::findFilesAndDirectories, true).size(), outsideBefore);
    EXPECT_EQ (folderEntries(), juce::StringArray ("usr_bait.mtpreset"));

    for (const auto* safe : { "usr_", "usr_a.b", "usr_R&B \"x\" <y>", ".hidden", "usr_Ünï ☂" })
        EXPECT_TRUE (marrowtone::isSafePresetName (juce::CharPointer_UTF8 (safe))) << safe;
}

TEST_F (UserPresets, FilesWithoutACompleteTapeTreeChangeNothing)
{
    const juce::MemoryBlock valid (BinaryData::bass_movement_mtpreset, (size_t) BinaryData::bass_movement_mtpresetSize);
    auto withBytes = [&] (size_t offset, std::initializer_list<juce::uint8> bytes)
    {
        auto block = valid;
        block.copyFrom (bytes.begin(), (int) offset, bytes.size());
        return block;
    };
    auto otherType = juce::ValueTree::readFromData (valid.getData(), valid.getSize()).createCopy();
    juce::ValueTree renamed ("Other");
    renamed.copyPropertiesAndChildrenFrom (otherType, nullptr);
    juce::MemoryOutputStream renamedStream;
    renamed.writeToStream (renamedStream);

    juce::MemoryBlock deepNest;
    for (int i = 0; i < 20000; ++i)
        deepNest.append ("Tape\0\0\x01\x01", 8);

    struct Case
    {
        const char* what;
        juce::MemoryBlock bytes;
    };
    const Case cases[] = {
        { "empty file", {} },
        { "cut in the middle", juce::MemoryBlock (valid.getData(), 100) },
        { "cut before the last byte", juce::MemoryBlock (valid.getData(), valid.getSize() - 1) },
        { "another tree type", renamedStream.getMemoryBlock() },
        { "empty type name", juce::MemoryBlock ("\0\0\0", 3) },
        { "child count of two billion", withBytes (6, { 0x04, 0xff, 0xff, 0xff, 0x7f }) },
        { "negative child count", withBytes (6, { 0x81, 0x05 }) },
        { "oversized count header", withBytes (6, { 0x05, 0x05 }) },
        { "value length beyond the file", withBytes (36, { 0x02, 0xff, 0x7f }) },
        { "double with a short length", withBytes (36, { 0x01, 0x05 }) },
        { "malformed UTF-8 in a property name", withBytes (16, { 0xc3 }) },
        { "malformed UTF-8 in a string value", withBytes (22, { 0xff }) },
        { "trees nested thousands deep", deepNest },
        { "value that is not a number", withBytes (39, { 0, 0, 0, 0, 0, 0, 0xf8, 0x7f }) },
        { "property name that is no XML name", withBytes (16, { '1' }) },
    };

    for (const auto& c : cases)
    {
        userFile ("usr_damaged").replaceWithData (c.bytes.getData(), c.bytes.getSize());
        TapeAudioProcessor processor;
        const auto unusualValues = setUnusualValues (processor);

        EXPECT_FALSE (marrowtone::loadPreset (processor.parameters, "usr_damaged")) << c.what;
        EXPECT_EQ (parameterValues (processor), unusualValues) << c.what;
        EXPECT_EQ (processor.parameters.state.getType().toString(), "Tape") << c.what;
        EXPECT_EQ (processor.parameters.state.getNumChildren(), 5) << c.what;
    }

    // A directory and a missing file are no presets either.
    userFile ("usr_folder").createDirectory();
    TapeAudioProcessor processor;
    EXPECT_FALSE (marrowtone::loadPreset (processor.parameters, "usr_folder"));
    EXPECT_FALSE (marrowtone::loadPreset (processor.parameters, "usr_missing"));
}

TEST_F (UserPresets, SaveThatCannotWriteKeepsTheOldPresetAndLeavesNoStrayFiles)
{
    TapeAudioProcessor processor;
    processor.loadPreset ("LoFi");
    ASSERT_TRUE (marrowtone::saveUserPreset (processor.parameters, "usr_Keep"));
    const auto before = fileBytes (userFile ("usr_Keep"));

    // Files larger than 100 bytes cannot be written: the new preset's file
    // ends up short, which the stream itself does not report.
    setUnusualValues (processor);
    {
        rlimit original {};
        getrlimit (RLIMIT_FSIZE, &original);
        const auto previousHandler = std::signal (SIGXFSZ, SIG_IGN);
        rlimit limited = original;
        limited.rlim_cur = 100;
        ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &limited), 0);

        const auto saved = marrowtone::saveUserPreset (processor.parameters, "usr_Keep");

        setrlimit (RLIMIT_FSIZE, &original);
        std::signal (SIGXFSZ, previousHandler);
        EXPECT_FALSE (saved);
    }

    EXPECT_EQ (fileBytes (userFile ("usr_Keep")), before);
    EXPECT_EQ (folderEntries(), juce::StringArray ("usr_Keep.mtpreset"));

    // A name the file system refuses, and a directory in the file's place.
    EXPECT_FALSE (marrowtone::saveUserPreset (processor.parameters, "usr_" + juce::String::repeatedString ("n", 300)));
    userFile ("usr_dir").createDirectory();
    EXPECT_FALSE (marrowtone::saveUserPreset (processor.parameters, "usr_dir"));
    EXPECT_TRUE (userFile ("usr_dir").isDirectory());
    EXPECT_EQ (folderEntries(), juce::StringArray ("usr_Keep.mtpreset", "usr_dir.mtpreset"));
}

TEST_F (UserPresets, SavingOverASymbolicLinkReplacesTheLinkNotItsTarget)
{
    const auto target = folder.getParentDirectory().getChildFile ("linked-target.mtpreset");
    target.replaceWithData (BinaryData::hifi_mtpreset, (size_t) BinaryData::hifi_mtpresetSize);
    ASSERT_TRUE (target.createSymbolicLink (userFile ("usr_Link"), true));

    TapeAudioProcessor processor;
    ASSERT_TRUE (marrowtone::saveUserPreset (processor.parameters, "usr_Link"));

    EXPECT_FALSE (userFile ("usr_Link").isSymbolicLink());
    EXPECT_EQ (fileBytes (target), juce::MemoryBlock (BinaryData::hifi_mtpreset, (size_t) BinaryData::hifi_mtpresetSize));
    target.deleteFile();
}
