// Proves the progress bar stays silent for short files and disabled streams,
// and otherwise ends at 100% on a line of its own.
#include "ProgressBar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using marrowtone::render::ProgressBar;

namespace
{
std::string drawRender (bool enabled, double seconds)
{
    constexpr double sampleRate = 1000.0;
    const auto total = (juce::int64) (seconds * sampleRate);
    std::ostringstream stream;
    ProgressBar bar (stream, enabled);

    for (juce::int64 done = 0; done < total;)
    {
        done = std::min<juce::int64> (done + 7, total);
        bar.update (done, total, sampleRate);
    }

    bar.finish();
    return stream.str();
}
} // namespace

TEST (ProgressBar, DrawsNothingForShortFilesOrWhenDisabled)
{
    EXPECT_EQ (drawRender (true, 10.0), "");
    EXPECT_EQ (drawRender (false, 60.0), "");
}

TEST (ProgressBar, LongFilesEndAtOneHundredPercentOnTheirOwnLine)
{
    const auto drawn = drawRender (true, 60.0);

    EXPECT_EQ (drawn.substr (drawn.size() - 5), "100%\n");
    // Redrawn once per whole percent, not once per block.
    EXPECT_EQ (std::count (drawn.begin(), drawn.end(), '\r'), 101);
}
