// Decides whether bytes from a preset file may be handed to the framework's
// value-tree reader: one complete tree of plausible size and depth, with
// well-formed text, and nothing the reader would mishandle.
#pragma once

#include <juce_core/juce_core.h>

namespace marrowtone
{
bool holdsOneCompleteValueTree (const void* data, size_t size);
} // namespace marrowtone
