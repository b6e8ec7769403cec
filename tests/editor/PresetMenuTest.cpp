// Proves that the preset menu lists factory and user presets with their IDs,
// opens on the current preset, loads what is chosen and saves "usr_" presets,
// all driven through the controls and the message loop.
#include "EditorHarness.h"
#include "ParameterTable.h"
#include "PresetLibrary.h"

#include <algorithm>

using namespace marrowtone;

namespace
{
struct MenuEntry
{
    juce::String text;
    int id; // 0 for a section heading

    bool operator== (const MenuEntry& other) const { return text == other.text && id == other.id; }
};

void PrintTo (const MenuEntry& entry, std::ostream* os)
{
    *os << '"' << entry.text << "\" " << entry.id;
}

// Headings and items from top to bottom, as the pop-up menu shows them.
std::vector<MenuEntry> menuEntries (juce::ComboBox& box)
{
    std::vector<MenuEntry> entries;

    for (juce::PopupMenu::MenuItemIterator it (*box.getRootMenu()); it.next();)
    {
        const auto& item = it.getItem();
        entries.push_back ({ item.text, item.isSectionHeader ? 0 : item.itemID });
    }

    return entries;
}

std::vector<MenuEntry> expectedEntries (const juce::StringArray& userNames)
{
    std::vector<MenuEntry> entries { { "Factory Presets", 0 } };

    int id = 1;
    for (const auto& preset : factoryPresets())
        entries.push_back ({ preset.name, id++ });

    entries.push_back ({ "User Presets", 0 });

    for (const auto& name : userNames)
        entries.push_back ({ name, id++ });

    return entries;
}

juce::StringArray namesInListingOrder()
{
    juce::StringArray names;
    for (const auto& file : listUserPresetFiles())
        names.add (file.getFileNameWithoutExtension());
    return names;
}

using ParameterValues = std::array<float, parameterTable.size()>;

ParameterValues parameterValues (TapeAudioProcessor& processor)
{
    ParameterValues values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = processor.parameters.getRawParameterValue (parameterTable[i].id)->load();
    return values;
}

ParameterValues defaultValues()
{
    ParameterValues values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = parameterTable[i].defaultValue;
    return values;
}

ParameterValues presetValues (const FactoryPreset& preset)
{
    ParameterValues values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = preset.value ((ParameterIndex) i);
    return values;
}

const FactoryPreset& factoryPreset (const char* name)
{
    const auto& presets = factoryPresets();
    return *std::find_if (presets.begin(), presets.end(), [name] (const auto& p)
                          { return juce::String (p.name) == name; });
}

void typeIntoBox (juce::ComboBox& box, const juce::String& text)
{
    box.setText (text, juce::sendNotificationAsync);
    pumpMessages();
}

void clickSave (EditorHarness& harness)
{
    harness.saveButton().triggerClick();
    pumpMessages();
}

class EditorPresetMenu : public ::testing::Test
{
protected:
    // Every test starts from an empty preset folder.
    void SetUp() override
    {
        folder = preparePresetFolder();
        folder.deleteRecursively();
        folder.createDirectory();
    }

    void TearDown() override { folder.deleteRecursively(); }

    void writeUserPreset (const juce::String& name, const char* factoryName = "HiFi")
    {
        const auto& preset = factoryPreset (factoryName);
        ASSERT_TRUE (folder.getChildFile (name + ".mtpreset").replaceWithData (preset.data, (size_t) preset.size));
    }

    juce::File folder;
};
} // namespace

TEST_F (EditorPresetMenu, EmptyFolderListsBothHeadingsAndTheFifteenFactoryPresets)
{
    EditorHarness harness;
    const auto entries = menuEntries (harness.presetBox());

    EXPECT_EQ (entries, expectedEntries ({}));
    EXPECT_EQ (entries[1].text, "Default");
    EXPECT_EQ (entries[15], (MenuEntry { "Warm Vibrato", 15 }));
    EXPECT_EQ (harness.presetBox().getNumItems(), 15);
}

TEST_F (EditorPresetMenu, UserPresetsFollowInFolderListingOrderWithIdsFromSixteen)
{
    // Created in alphabetical order, so a sorted menu would differ from a
    // listing that is not alphabetical.
    for (const auto* name : { "usr_a", "usr_b", "usr_c", "usr_d", "usr_e", "usr_f", "LoFi" })
        writeUserPreset (name);
    folder.getChildFile ("not a preset.txt").create();
    folder.getChildFile ("usr_folder.mtpreset").createDirectory();

    const auto listed = namesInListingOrder();
    auto sorted = listed;
    sorted.sortNatural();
    ASSERT_EQ (listed.size(), 7);
    ASSERT_NE (listed, sorted) << "this file system lists alphabetically; the order check below proves less";

    EditorHarness harness;
    EXPECT_EQ (menuEntries (harness.presetBox()), expectedEntries (listed));
}

TEST_F (EditorPresetMenu, OpensOnTheCurrentPresetWithoutLoadingAnything)
{
    writeUserPreset ("usr_here");

    struct Case
    {
        const char* currentPreset;
        int selectedId;
    };

    for (const auto& c : { Case { "Default", 1 }, Case { "HiFi", 8 }, Case { "usr_here", 16 },
                           Case { "usr_gone", 0 }, Case { "", 0 } })
    {
        EditorHarness harness (c.currentPreset);
        pumpMessages();

        EXPECT_EQ (harness.presetBox().getText(), c.currentPreset);
        EXPECT_EQ (harness.presetBox().getSelectedId(), c.selectedId) << c.currentPreset;
        EXPECT_EQ (parameterValues (harness.processor), defaultValues()) << c.currentPreset;
        EXPECT_EQ (harness.processor.getCurrentPreset(), c.currentPreset);
    }
}

TEST_F (EditorPresetMenu, ChoosingAPresetLoadsItAndRecordsItsName)
{
    EditorHarness harness;

    harness.presetBox().setSelectedId (12);
    pumpMessages();

    EXPECT_EQ (harness.presetBox().getText(), "LoFi");
    EXPECT_EQ (parameterValues (harness.processor), presetValues (factoryPreset ("LoFi")));
    EXPECT_EQ (harness.processor.getCurrentPreset(), "LoFi");
}

TEST_F (EditorPresetMenu, TypedNameWithoutAPresetChangesNothingButBecomesTheCurrentName)
{
    EditorHarness harness;
    const auto before = parameterValues (harness.processor);

    typeIntoBox (harness.presetBox(), "nothing by this name");

    EXPECT_EQ (parameterValues (harness.processor), before);
    EXPECT_EQ (harness.processor.getCurrentPreset(), "nothing by this name");
}

TEST_F (EditorPresetMenu, ChoosingAUserPresetLoadsItsFile)
{
    writeUserPreset ("usr_warm", "Warm Vibrato");
    EditorHarness harness;

    harness.presetBox().setSelectedId (16);
    pumpMessages();

    EXPECT_EQ (parameterValues (harness.processor), presetValues (factoryPreset ("Warm Vibrato")));
    EXPECT_EQ (harness.processor.getCurrentPreset(), "usr_warm");
}

TEST_F (EditorPresetMenu, SaveWritesAUsrPresetListsAndSelectsIt)
{
    struct Case
    {
        const char* typed;
        const char* saved;
    };

    for (const auto& c : { Case { "LoFi", "usr_LoFi" }, Case { "", "usr_" }, Case { "USR_x", "usr_USR_x" },
                           Case { "usr_kept", "usr_kept" } })
    {
        SCOPED_TRACE (c.typed);
        EditorHarness harness;
        harness.presetBox().setSelectedId (12);
        pumpMessages();
        typeIntoBox (harness.presetBox(), c.typed);
        const auto lofi = parameterValues (harness.processor);

        clickSave (harness);

        EXPECT_TRUE (folder.getChildFile (juce::String (c.saved) + ".mtpreset").existsAsFile());
        EXPECT_EQ (harness.presetBox().getText(), c.saved);
        EXPECT_EQ (harness.presetBox().getItemText (harness.presetBox().indexOfItemId (harness.presetBox().getSelectedId())), c.saved);
        EXPECT_EQ (menuEntries (harness.presetBox()), expectedEntries (namesInListingOrder()));
        EXPECT_EQ (harness.processor.getCurrentPreset(), c.saved);
        EXPECT_EQ (parameterValues (harness.processor), lofi);
    }

    // The factory preset of the same name is untouched by saving.
    EXPECT_FALSE (folder.getChildFile ("LoFi.mtpreset").exists());
}

TEST_F (EditorPresetMenu, SavingRepeatedlyListsEveryPresetOnceAndKeepsTheIdsContiguous)
{
    EditorHarness harness;

    for (const auto* name : { "one", "two", "usr_one", "one" })
    {
        typeIntoBox (harness.presetBox(), name);
        clickSave (harness);
    }

    const auto listed = namesInListingOrder();
    EXPECT_EQ (listed.size(), 2);
    EXPECT_EQ (menuEntries (harness.presetBox()), expectedEntries (listed));
    EXPECT_EQ (harness.processor.getCurrentPreset(), "usr_one");
}

TEST_F (EditorPresetMenu, SavedPresetHoldsTheKnobSettingsAndLoadsThemBack)
{
    EditorHarness harness;
    harness.knob (noiseIndex).setValue (-42.0);
    typeIntoBox (harness.presetBox(), "mine");
    clickSave (harness);

    harness.presetBox().setSelectedId (1);
    pumpMessages();
    ASSERT_EQ (harness.knob (noiseIndex).getValue(), -20.0);

    harness.presetBox().setSelectedId (harness.presetBox().getItemId (harness.presetBox().getNumItems() - 1));
    pumpMessages();
    EXPECT_EQ (harness.presetBox().getText(), "usr_mine");
    EXPECT_EQ (harness.knob (noiseIndex).getValue(), -42.0);
}

TEST_F (EditorPresetMenu, SaveRefusesANameThatWouldLeaveThePresetFolder)
{
    for (const auto* typed : { "x/../../escape", "sub/dir", "..", "back\\slash" })
    {
        SCOPED_TRACE (typed);
        EditorHarness harness;
        typeIntoBox (harness.presetBox(), typed);
        const auto before = parameterValues (harness.processor);

        clickSave (harness);

        EXPECT_EQ (folder.findChildFiles (juce::File::findFilesAndDirectories, true).size(), 0);
        EXPECT_FALSE (folder.getParentDirectory().getChildFile ("escape.mtpreset").exists());
        EXPECT_EQ (harness.presetBox().getText(), typed);
        EXPECT_EQ (menuEntries (harness.presetBox()), expectedEntries ({}));
        EXPECT_EQ (harness.processor.getCurrentPreset(), typed);
        EXPECT_EQ (parameterValues (harness.processor), before);
    }
}
