// Runs one audio file through a TapeAudioProcessor the way a host plays it.
#pragma once

#include "RenderOptions.h"

#include <juce_core/juce_core.h>

#include <functional>

namespace marrowtone::render
{
using ProgressCallback = std::function<void (juce::int64 samplesDone, juce::int64 totalSamples, double sampleRate)>;

// Renders options.inputPath into options.outputPath as a 24-bit WAV at the
// input's rate. On failure the message is one line and no output file is
// left behind (an existing one stays as it was). JUCE must be initialised,
// because the processor's parameter state runs a timer.
juce::Result renderFile (const RenderOptions& options, const ProgressCallback& onProgress = {});
} // namespace marrowtone::render
