// Shared fixtures of the preset and project-state tests: a snapshot of the
// five parameter values, a preset folder emptied before every test, blocks
// built by hand, and byte buffers that end right at an unreadable page.
#pragma once

#include "ParameterTable.h"
#include "PluginProcessor.h"
#include "PresetLibrary.h"
#include "ProcessorHarness.h"

#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace juce
{
// Readable failure messages for the JUCE types the tests compare.
inline void PrintTo (const MemoryBlock& block, std::ostream* os) { *os << block.getSize() << " bytes: " << block.toBase64Encoding(); }
inline void PrintTo (const StringArray& strings, std::ostream* os) { *os << "[" << strings.joinIntoString (" | ") << "]"; }
} // namespace juce

using ParameterValues = std::array<float, marrowtone::parameterTable.size()>;

// Values in host index order, compared bit for bit by ==.
inline ParameterValues parameterValues (TapeAudioProcessor& processor)
{
    ParameterValues values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = parameterValue (processor, marrowtone::parameterTable[i].id);
    return values;
}

inline void setParameterValues (TapeAudioProcessor& processor, const ParameterValues& values)
{
    for (size_t i = 0; i < values.size(); ++i)
        setParameter (processor, marrowtone::parameterTable[i].id, values[i]);
}

// Sets values away from every default and every factory preset, and returns
// them as the parameters hold them once snapped to their steps.
inline ParameterValues setUnusualValues (TapeAudioProcessor& processor)
{
    setParameterValues (processor, { 7.77f, 12345.0f, -33.33f, 55.55f, 0.01f });
    return parameterValues (processor);
}

inline juce::MemoryBlock fileBytes (const juce::File& file)
{
    juce::MemoryBlock bytes;
    file.loadFileAsData (bytes);
    return bytes;
}

// A project-state block around the given text, with the length field the
// plug-in itself writes unless another is given.
inline juce::MemoryBlock stateBlock (const std::string& text, juce::uint32 magic = 0x21324356)
{
    juce::MemoryOutputStream out;
    out.writeInt ((int) magic);
    out.writeInt ((int) text.size());
    out.write (text.data(), text.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

inline std::string stateText (const juce::MemoryBlock& block)
{
    return block.getSize() < 9 ? std::string() : std::string (static_cast<const char*> (block.getData()) + 8, block.getSize() - 9);
}

inline const std::string xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?> ";

// Bytes placed so that the first byte past their end lies on a page that
// cannot be read: any read beyond the block crashes the test instead of
// passing unnoticed.
class GuardedBytes
{
public:
    explicit GuardedBytes (const juce::MemoryBlock& bytes)
    {
        const auto page = (size_t) sysconf (_SC_PAGESIZE);
        const auto dataPages = (bytes.getSize() + page - 1) / page;
        mappedSize = (dataPages + 1) * page;
        mapping = static_cast<char*> (mmap (nullptr, mappedSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (mapping == MAP_FAILED)
            throw std::bad_alloc();
        auto* guardPage = mapping + dataPages * page;
        mprotect (guardPage, page, PROT_NONE);
        start = guardPage - bytes.getSize();
        if (bytes.getSize() > 0)
            std::memcpy (start, bytes.getData(), bytes.getSize());
        size = (int) bytes.getSize();
    }

    ~GuardedBytes() { munmap (mapping, mappedSize); }

    GuardedBytes (const GuardedBytes&) = delete;
    GuardedBytes& operator= (const GuardedBytes&) = delete;

    const void* data() const { return start; }
    int getSize() const { return size; }

private:
    char* mapping = nullptr;
    size_t mappedSize = 0;
    char* start = nullptr;
    int size = 0;
};

// Every test starts from an empty preset folder, whatever ran before it in
// the same process.
class PresetFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = marrowtone::preparePresetFolder();
        folder.deleteRecursively();
        folder.createDirectory();
    }

    // Also removes anything a test placed beside the folder.
    void TearDown() override { folder.getParentDirectory().deleteRecursively(); }

    juce::File userFile (const juce::String& name) const { return folder.getChildFile (name + ".mtpreset"); }

    // Every entry of the folder, hidden ones included, as sorted names.
    juce::StringArray folderEntries() const
    {
        juce::StringArray names;
        for (const auto& entry : folder.findChildFiles (juce::File::findFilesAndDirectories, false, "*"))
            names.add (entry.getFileName());
        names.sort (false);
        return names;
    }

    juce::File folder;
};
