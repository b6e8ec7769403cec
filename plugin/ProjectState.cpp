// The project-state block: magic number, text length, the parameter-state
// tree as one line of UTF-8 XML carrying the preset name, a zero byte. Hosts
// hand back whatever their project file holds, so the reader trusts nothing
// in the block and changes nothing unless it finds a usable root element.
#include "ProjectState.h"

#include "PresetLibrary.h"
#include "PresetStreamCheck.h"

#include <set>
#include <string>

namespace marrowtone
{
namespace
{
constexpr juce::uint32 magicNumber = 0x21324356;
constexpr int headerSize = 8;
constexpr int terminatorSize = 1;
const juce::Identifier presetAttribute { "Preset" };

// Our own trees are two elements deep. The XML parser recurses once per
// level, so a block nesting thousands of elements would exhaust the stack.
constexpr int deepestNesting = 64;

bool nestsTooDeeply (const std::string& text)
{
    auto depth = 0;

    for (size_t i = 0; i + 1 < text.size(); ++i)
    {
        if (text[i] == '<' && text[i + 1] != '/' && text[i + 1] != '?' && text[i + 1] != '!')
            ++depth;
        else if ((text[i] == '<' && text[i + 1] == '/') || (text[i] == '/' && text[i + 1] == '>'))
            --depth;

        if (depth > deepestNesting)
            return true;
    }

    return false;
}

// A processing instruction followed by text inside an element sends the
// framework's XML parser round in circles for ever, hanging the host. The
// plug-in only ever writes one, the declaration at the very start.
bool hasInstructionAfterTheDeclaration (const std::string& text)
{
    const size_t searchFrom = text.rfind ("<?xml", 0) == 0 ? 2 : 0;
    return text.find ("<?", searchFrom) != std::string::npos;
}

// The framework's XML parser keeps every copy of a repeated attribute; the
// value tree made from it reads the first copy but writes the last, so the
// next saved block would no longer hold what the parameters hold. Repeated
// attributes are not well-formed XML anyway.
bool repeatsAnAttribute (const juce::XmlElement& element)
{
    std::set<juce::String> names;

    for (int i = 0; i < element.getNumAttributes(); ++i)
        if (! names.insert (element.getAttributeName (i)).second)
            return true;

    for (auto* child : element.getChildIterator())
        if (repeatsAnAttribute (*child))
            return true;

    return false;
}

// The text ends at the length field, at the block's end or at a zero byte,
// whichever comes first. It is copied so that decoding a multi-byte sequence
// cut off by the block's end stops at our own terminator, not beyond the
// host's memory.
std::unique_ptr<juce::XmlElement> parseStateText (const char* block, int sizeInBytes)
{
    if (block == nullptr || sizeInBytes < headerSize)
        return {};

    const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (block + 4);
    const auto length = juce::jmin (declaredLength, sizeInBytes - headerSize);

    if (length <= 0)
        return {};

    std::string text (block + headerSize, (size_t) length);

    if (const auto zero = text.find ('\0'); zero != std::string::npos)
        text.resize (zero);

    // The framework's UTF-8 decoding trusts its input: malformed sequences
    // make it write past the string it allocates. The plug-in only ever
    // writes valid UTF-8, so anything else is damage.
    if (! isWellFormedUtf8 (text.c_str(), text.size())
        || nestsTooDeeply (text) || hasInstructionAfterTheDeclaration (text))
        return {};

    auto xml = juce::parseXML (juce::String (juce::CharPointer_UTF8 (text.c_str())));

    if (xml == nullptr || repeatsAnAttribute (*xml))
        return {};

    return xml;
}
} // namespace

void writeProjectState (juce::AudioProcessorValueTreeState& state,
                        const juce::String& presetName,
                        juce::MemoryBlock& destination)
{
    auto xml = state.copyState().createXml();

    if (xml == nullptr)
    {
        destination.reset();
        return;
    }

    xml->setAttribute (presetAttribute, presetName);

    {
        juce::MemoryOutputStream output (destination, false);
        output.writeInt ((int) magicNumber);
        output.writeInt (0);
        xml->writeTo (output, juce::XmlElement::TextFormat().singleLine());
        output.writeByte (0);
    }

    const auto textLength = juce::ByteOrder::swapIfBigEndian ((juce::uint32) (destination.getSize() - headerSize - terminatorSize));
    destination.copyFrom (&textLength, 4, sizeof (textLength));
}

std::optional<juce::String> readProjectState (juce::AudioProcessorValueTreeState& state,
                                              const void* data,
                                              int sizeInBytes)
{
    auto xml = parseStateText (static_cast<const char*> (data), sizeInBytes);

    if (xml == nullptr)
        return std::nullopt;

    // The name is taken even from a root of another name: it is the preset
    // the user last chose, whatever became of the parameters.
    const auto presetName = xml->getStringAttribute (presetAttribute);
    xml->removeAttribute (presetAttribute);

    if (xml->getTagName().equalsIgnoreCase (state.state.getType().toString()))
        replaceParameterState (state, juce::ValueTree::fromXml (*xml));

    return presetName;
}
} // namespace marrowtone
