// Walks a value-tree stream byte by byte before the framework's reader is
// allowed near it.
#include "PresetStreamCheck.h"

#include <algorithm>
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
        size_t nameLength = 0;
        int count = 0;

        if (depth > deepestNesting || ! skipString (nameLength) || nameLength == 0)
            return false;

        // Each property takes at least two bytes and each child three, so a
        // count beyond the remaining bytes can only be damage.
        if (! readCount (count) || (size_t) count > remaining() / 2)
            return false;

        for (int i = 0; i < count; ++i)
            if (! skipString (nameLength) || nameLength == 0 || ! skipValue())
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
        return juce::CharPointer_UTF8::isValidString (reinterpret_cast<const char*> (text), (int) length);
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

        next += length;
        return true;
    }

    const juce::uint8* next;
    const juce::uint8* end;
};

} // namespace

bool holdsOneCompleteValueTree (const void* data, size_t size)
{
    return TreeStreamCheck (data, size).holdsCompleteTree();
}
} // namespace marrowtone
