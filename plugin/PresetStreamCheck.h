// Decides whether bytes from a preset file may be handed to the framework's
// value-tree reader: one complete tree of plausible size and depth, with
// well-formed text, and nothing the reader would mishandle.
#pragma once

#include <juce_core/juce_core.h>

namespace marrowtone
{
bool holdsOneCompleteValueTree (const void* data, size_t size);

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
// The framework's own test lets overlong forms through, and its XML writer
// then turns them into bytes that no reader accepts, so a project saved
// with such text would restore nothing.
bool isWellFormedUtf8 (const char* text, size_t length);
} // namespace marrowtone
