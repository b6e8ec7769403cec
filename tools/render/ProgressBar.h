// A one-line progress bar for long renders on a terminal.
#pragma once

#include <juce_core/juce_core.h>

#include <ostream>

namespace marrowtone::render
{
class ProgressBar
{
public:
    // Draws nothing unless enabled (the caller knows whether its stream is a
    // terminal) and the file lasts longer than minimumSeconds.
    ProgressBar (std::ostream& stream, bool enabled, double minimumSeconds = 10.0);

    void update (juce::int64 samplesDone, juce::int64 totalSamples, double sampleRate);

    // Ends the bar's line so that whatever is printed next starts cleanly.
    void finish();

private:
    std::ostream& stream;
    const bool enabled;
    const double minimumSeconds;
    int drawnPercent = -1;
};
} // namespace marrowtone::render
