// Proves the saturation curve's shape against independently computed values:
// tanh-like for small inputs, a peak near |x| = 3.05, fold-back beyond it.
#include "SaturationCurve.h"

#include <gtest/gtest.h>

#include <cmath>

TEST (SaturationCurve, MatchesKnownValuesAndFoldsBackAboveItsPeak)
{
    const std::pair<float, double> cases[] = {
        { 0.5f, 0.46212 }, { 1.0f, 0.76159 }, { 3.0f, 0.98985 }, { 5.0f, 0.95687 }, { 10.0f, 0.75659 }, { 15.849f, 0.5567 },
    };

    for (const auto& [x, expected] : cases)
    {
        EXPECT_NEAR (marrowtone::saturate (x), expected, 5.0e-5) << x;
        EXPECT_FLOAT_EQ (marrowtone::saturate (-x), -marrowtone::saturate (x)) << x;
    }

    EXPECT_EQ (marrowtone::saturate (0.0f), 0.0f);
    EXPECT_NEAR (marrowtone::saturate (0.01f), std::tanh (0.01), 1.0e-9);
}

TEST (SaturationCurve, PeaksAtAboutPoint99NearThreePointZeroFive)
{
    float peakInput = 0.0f, peakOutput = 0.0f;
    for (float x = 0.0f; x < 8.0f; x += 0.001f)
    {
        if (marrowtone::saturate (x) > peakOutput)
        {
            peakOutput = marrowtone::saturate (x);
            peakInput = x;
        }
    }

    EXPECT_NEAR (peakInput, 3.05f, 0.02f);
    EXPECT_NEAR (peakOutput, 0.98988f, 5.0e-5f);
}
