// Walks a value-tree stream byte by byte before the framework's reader is
// allowed near it.
#include "PresetStreamCheck.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace marrowtone
{
namespace
{
// Walks a value-tree stream without building anything. The framework's
// reader trusts what it reads (one damaged child count can make it reserve
// gigabytes, a deep nest exhausts the stack, malformed UTF-8 overruns its
// strings) and keeps whatever it read before a stream ran out, so a file is
// handed to it only when it holds one complete, plausible tree.
class TreeStreamCheck
{
public:
    TreeStreamCheck (const void* data, size_t size)
        : next (static_cast<const juce::uint8*> (data)), end (next + size)
    {
    }

    bool holdsCompleteTree() { return next != nullptr && readTree (0); }

private:
    // Preset trees are two levels deep; the limit only keeps hostile nests
    // away from the recursive reader.
    static constexpr int deepestNesting = 8;

    size_t remaining() const { return (size_t) (end - next); }

    bool readTree (int depth)
    {
        int count = 0;

        if (depth > deepestNesting || ! skipName())
            return false;

        // Each property takes at least two bytes and each child three, so a
        // count beyond the remaining bytes can only be damage.
        if (! readCount (count) || (size_t) count > remaining() / 2)
            return false;

        for (int i = 0; i < count; ++i)
            if (! skipName() || ! skipValue())
                return false;

        if (! readCount (count) || (size_t) count > remaining() / 3)
            return false;

        for (int i = 0; i < count; ++i)
            if (! readTree (depth + 1))
                return false;

        return true;
    }

    // The framework's UTF-8 decoding writes past the string it allocates
    // when it meets malformed sequences.
    static bool isValidText (const juce::uint8* text, size_t length)
    {
        return isWellFormedUtf8 (reinterpret_cast<const char*> (text), length);
    }

    bool skipString (size_t& length)
    {
        const auto* terminator = std::find (next, end, (juce::uint8) 0);

        if (terminator == end)
            return false;

        length = (size_t) (terminator - next);

        if (! isValidText (next, length))
            return false;

        next = terminator + 1;
        return true;
    }

    // The loaded tree is written into the project state as XML, where a
    // type or property name that is no XML name breaks the whole block: the
    // host's project would then restore nothing. The framework's XML reader
    // knows only ASCII name characters, though its writer allows more.
    bool skipName()
    {
        const auto* start = next;
        size_t length = 0;

        return skipString (length)
            && std::all_of (start, start + length, [] (auto byte) { return byte < 0x80; })
            && juce::XmlElement::isValidXmlName (juce::String::fromUTF8 (reinterpret_cast<const char*> (start), (int) length));
    }

    static double readDouble (const juce::uint8* bytes)
    {
        const auto bits = juce::ByteOrder::littleEndianInt64 (bytes);
        double value;
        std::memcpy (&value, &bits, sizeof (value));
        return value;
    }

    bool readCount (int& count)
    {
        if (remaining() < 1)
            return false;

        const auto header = *next++;
        const auto byteCount = (size_t) (header & 0x7f);

        if (byteCount > 4 || (header & 0x80) != 0 || remaining() < byteCount)
            return false;

        juce::uint32 magnitude = 0;
        for (size_t i = 0; i < byteCount; ++i)
            magnitude |= (juce::uint32) next[i] << (8 * i);

        next += byteCount;

        if (magnitude > (juce::uint32) std::numeric_limits<int>::max())
            return false;

        count = (int) magnitude;
        return true;
    }

    bool skipValue()
    {
        enum Marker { intMarker = 1, trueMarker, falseMarker, doubleMarker, stringMarker, int64Marker, arrayMarker };

        int length = 0;

        if (! readCount (length) || (size_t) length > remaining())
            return false;

        if (length == 0)
            return true;

        const auto marker = *next;
        const auto fixedLength = marker == intMarker                               ? 5
                               : marker == trueMarker || marker == falseMarker     ? 1
                               : marker == doubleMarker || marker == int64Marker   ? 9
                                                                                   : -1;

        // The framework reads fixed-size payloads whatever the length says,
        // and arrays by their own count; neither is ever in a preset.
        if ((fixedLength > 0 && length != fixedLength) || marker == arrayMarker)
            return false;

        if (marker == stringMarker && ! isValidText (next + 1, (size_t) length - 1))
            return false;

        // Not a number slips through the parameters' clamping, and the
        // framework cannot write it into the project state as a number.
        if (marker == doubleMarker && std::isnan (readDouble (next + 1)))
            return false;

        next += length;
        return true;
    }

    const juce::uint8* next;
    const juce::uint8* end;
};

} // namespace

bool isWellFormedUtf8 (const char* text, size_t length)
{
    // The smallest code point each sequence length may carry.
    constexpr juce::uint32 smallest[] = { 0, 0x80, 0x800, 0x10000 };
    const auto* bytes = reinterpret_cast<const juce::uint8*> (text);

    for (size_t i = 0; i < length;)
    {
        const auto lead = bytes[i];
        const size_t extraBytes = lead < 0x80 ? 0
                                : (lead & 0xe0) == 0xc0 ? 1
                                : (lead & 0xf0) == 0xe0 ? 2
                                : (lead & 0xf8) == 0xf0 ? 3
                                                        : 4;

        if (extraBytes > 3 || length - i <= extraBytes)
            return false;

        auto value = extraBytes == 0 ? (juce::uint32) lead : (juce::uint32) (lead & (0x3f >> extraBytes));

        for (size_t k = 1; k <= extraBytes; ++k)
        {
            if ((bytes[i + k] & 0xc0) != 0x80)
                return false;

            value = (value << 6) | (juce::uint32) (bytes[i + k] & 0x3f);
        }

        if (value < smallest[extraBytes] || value > 0x10ffff || (value >= 0xd800 && value <= 0xdfff))
            return false;

        i += extraBytes + 1;
    }

    return true;
}

bool holdsOneCompleteValueTree (const void* data, size_t size)
{
    return TreeStreamCheck (data, size).holdsCompleteTree();
}
} // namespace marrowtone
