// Redraws the bar only when the whole percentage changes, so a render with
// tiny blocks does not spend its time writing to the terminal.
#include "ProgressBar.h"

namespace marrowtone::render
{
ProgressBar::ProgressBar (std::ostream& s, bool isEnabled, double minimum) :
    stream (s), enabled (isEnabled), minimumSeconds (minimum)
{
}

void ProgressBar::update (juce::int64 samplesDone, juce::int64 totalSamples, double sampleRate)
{
    if (!enabled || totalSamples <= 0 || sampleRate <= 0.0 || (double)totalSamples / sampleRate <= minimumSeconds)
        return;

    const auto percent = (int)(100 * juce::jlimit<juce::int64> (0, totalSamples, samplesDone) / totalSamples);
    if (percent == drawnPercent)
        return;

    constexpr int width = 40;
    const auto filled = percent * width / 100;
    stream << "\r[" << std::string ((size_t)filled, '#') << std::string ((size_t)(width - filled), ' ') << "] "
           << percent << "%" << std::flush;
    drawnPercent = percent;
}

void ProgressBar::finish()
{
    if (drawnPercent >= 0)
        stream << "\n"
               << std::flush;

    drawnPercent = -1;
}
} // namespace marrowtone::render
