// Proves that the editor paints the cassette face where the window's layout
// puts it, that the knobs show their value and that the hub wheels turn.
#include "EditorHarness.h"
#include "ParameterTable.h"
#include "UserInterface.h"

#include <cmath>

using namespace marrowtone;

namespace
{
struct FacePoint
{
    const char* what;
    int x, y;
    juce::uint32 colour;
};

// Pixels inside each painted shape, away from anti-aliased edges, and on both
// sides of the filled rectangles' edges, which lie on whole pixels.
const FacePoint facePoints[] = {
    { "light strip between badge and menu", 60, 15, palette::light },
    { "light strip right of the version text", 436, 15, palette::light },
    { "last row of the light strip", 60, 29, palette::light },
    { "first row of the dark area", 60, 30, palette::dark },
    { "dark band above the body", 220, 35, palette::dark },
    { "body's first row", 220, 40, palette::body },
    { "body's last row", 220, 339, palette::body },
    { "dark row below the body", 220, 340, palette::dark },
    { "body's first column", 10, 200, palette::body },
    { "dark column left of the body", 9, 200, palette::dark },
    { "body's last column", 429, 200, palette::body },
    { "dark column right of the body", 430, 200, palette::dark },
    { "dark area below the knobs", 220, 436, palette::dark },
    { "dark area between body and captions", 5, 345, palette::dark },
    { "orange body, top left", 20, 50, palette::body },
    { "orange body, bottom right", 420, 330, palette::body },
    { "inner frame, left edge", 27, 200, palette::dark },
    { "body outside the inner frame", 20, 200, palette::body },
    { "left tape pack centre", 135, 175, palette::body },
    { "left tape pack hole, above the hub", 135, 145, palette::body },
    { "left tape pack", 135, 115, palette::dark },
    { "left tape pack, left side", 75, 175, palette::dark },
    { "right tape pack centre", 305, 175, palette::body },
    { "right tape pack hole, above the hub", 305, 147, palette::body },
    { "right tape pack", 305, 130, palette::dark },
    { "body between the reels", 220, 200, palette::body },
    { "left roller", 65, 285, palette::dark },
    { "right roller", 375, 285, palette::dark },
    { "tape along the bottom", 220, 299, palette::dark },
    { "body between tape and frame", 220, 305, palette::body },
    { "trapezoid top edge", 220, 259, palette::dark },
    { "body inside the trapezoid", 220, 280, palette::body },
    { "left hub circle", 135, 151, palette::dark },
    { "small hole in the trapezoid", 115, 285, palette::dark },
    { "inside the small hole", 115, 290, palette::body },
};

// Where a knob's pointer or ring passes, relative to the knob's centre.
juce::Point<int> pointOnKnob (juce::Point<float> centre, float distance, float angle)
{
    return centre.getPointOnCircumference (distance, angle).toInt();
}

// The knob's pointer at the given angle, sampled along its middle third.
float meanBrightnessAlong (const juce::Image& image, juce::Point<float> centre, float angle)
{
    float sum = 0.0f;
    int count = 0;

    for (float distance = 5.0f; distance <= 11.0f; distance += 1.0f, ++count)
    {
        const auto p = pointOnKnob (centre, distance, angle);
        sum += brightnessAt (image, p.x, p.y);
    }

    return sum / (float) count;
}

bool sameRegion (const juce::Image& a, const juce::Image& b, juce::Rectangle<int> area)
{
    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

const juce::Rectangle<int> leftHub (108, 148, 55, 55), rightHub (278, 148, 55, 55);
} // namespace

TEST (EditorPainting, FaceShowsEachShapeInItsColourAtItsPlace)
{
    EditorHarness harness;
    const auto image = harness.paintOnce();

    ASSERT_EQ (image.getWidth(), 440);
    ASSERT_EQ (image.getHeight(), 440);

    for (const auto& point : facePoints)
        EXPECT_TRUE (pixelIs (image, point.x, point.y, point.colour)) << point.what;
}

TEST (EditorPainting, VersionTextStaysInsideItsBoxRightOfTheSaveButton)
{
    EditorHarness harness;
    const auto image = harness.paintOnce();

    const auto darkPixelsIn = [&image] (int left, int right)
    {
        int count = 0;
        for (int y = 2; y < 28; ++y)
            for (int x = left; x < right; ++x)
                count += brightnessAt (image, x, y) < 0.5f ? 1 : 0;
        return count;
    };

    EXPECT_GT (darkPixelsIn (405, 431), 20);
    EXPECT_EQ (darkPixelsIn (352, 404), 0);
    EXPECT_EQ (darkPixelsIn (432, 440), 0);
}

TEST (EditorPainting, LogoBadgeIsDrawnDarkInTheTopLeftSquare)
{
    EditorHarness harness;
    const auto image = harness.paintOnce();

    float badge = 0.0f;
    for (int y = 2; y < 28; ++y)
        for (int x = 2; x < 28; ++x)
            badge += brightnessAt (image, x, y);

    // Mostly the dark disc, with the light ring and letter on it.
    EXPECT_LT (badge / (26.0f * 26.0f), 0.6f);
    EXPECT_TRUE (pixelIs (image, 1, 15, palette::light));
    EXPECT_TRUE (pixelIs (image, 29, 15, palette::light));
}

TEST (EditorPainting, KnobPointerFollowsItsParameterFromMinimumToMaximum)
{
    EditorHarness harness;
    auto* saturation = harness.processor.parameters.getParameter (parameterTable[saturationIndex].id);

    // Knob 1 occupies x 0..88 from y 365; its rotary area is the top 88 x 46.
    const juce::Point<float> centre (44.0f, 388.0f);
    const auto minimumAngle = 1.2f * juce::MathConstants<float>::pi;
    const auto maximumAngle = 2.8f * juce::MathConstants<float>::pi;

    saturation->setValueNotifyingHost (0.0f);
    const auto atMinimum = harness.paintOnce();
    saturation->setValueNotifyingHost (1.0f);
    const auto atMaximum = harness.paintOnce();

    EXPECT_GT (meanBrightnessAlong (atMinimum, centre, minimumAngle), 0.6f);
    EXPECT_LT (meanBrightnessAlong (atMinimum, centre, maximumAngle), 0.2f);
    EXPECT_GT (meanBrightnessAlong (atMaximum, centre, maximumAngle), 0.6f);
    EXPECT_LT (meanBrightnessAlong (atMaximum, centre, minimumAngle), 0.2f);

    for (const auto& image : { atMinimum, atMaximum })
    {
        // The ring lies between radius 14.49 and 16.1; inside and outside it stays dark.
        for (const auto angle : { 0.0f, 0.5f * juce::MathConstants<float>::pi, 1.5f * juce::MathConstants<float>::pi })
        {
            const auto onRing = pointOnKnob (centre, 15.3f, angle);
            EXPECT_GT (brightnessAt (image, onRing.x, onRing.y), 0.6f) << "ring at angle " << angle;
        }

        EXPECT_TRUE (pixelIs (image, 44 - 8, 388 - 8, palette::dark));
        EXPECT_TRUE (pixelIs (image, 44, 388 - 19, palette::dark));
    }
}

TEST (EditorPainting, HubWheelsStartUnrotatedAndTurnAnticlockwiseOneStepPerPaint)
{
    EditorHarness harness;
    const auto first = harness.paintOnce();

    // One bar of each wheel stands straight below its centre (x 134..136).
    for (const int centreX : { 135, 305 })
    {
        EXPECT_TRUE (pixelIs (first, centreX - 1, 195, palette::dark));
        EXPECT_TRUE (pixelIs (first, centreX, 195, palette::dark));
        EXPECT_TRUE (pixelIs (first, centreX + 3, 195, palette::body));
        EXPECT_TRUE (pixelIs (first, centreX - 4, 195, palette::body));
    }

    const auto second = harness.paintOnce();
    EXPECT_FALSE (sameRegion (first, second, leftHub));
    EXPECT_FALSE (sameRegion (first, second, rightHub));
    EXPECT_TRUE (sameRegion (first, second, { 0, 0, 440, 140 }));

    // Frames 2..4 go by; frame 5 is 9 degrees on. Anticlockwise on screen moves
    // the lower bar to the right: at 20 px it is 3.1 px right of the centre line.
    for (int frame = 2; frame < 5; ++frame)
        harness.paintOnce();
    const auto fifth = harness.paintOnce();

    for (const int centreX : { 135, 305 })
    {
        const auto rotated = juce::Point<float> ((float) centreX, 175.0f).getPointOnCircumference (20.0f, juce::MathConstants<float>::pi - 0.05f * juce::MathConstants<float>::pi).toInt();
        EXPECT_LT (brightnessAt (fifth, rotated.x, rotated.y), 0.3f);
        EXPECT_TRUE (pixelIs (fifth, 2 * centreX - rotated.x - 1, rotated.y, palette::body));
    }
}

TEST (EditorPainting, HubWheelsReturnAfterTwoHundredPaintsAndRestartWithEveryEditor)
{
    juce::Image first;
    {
        EditorHarness harness;
        first = harness.paintOnce();
        const auto second = harness.paintOnce();

        for (int frame = 2; frame < 200; ++frame)
            harness.paintOnce();

        // The counter wraps to 0 after frame 199 rather than running on.
        EXPECT_TRUE (sameRegion (first, harness.paintOnce(), first.getBounds()));
        EXPECT_TRUE (sameRegion (second, harness.paintOnce(), first.getBounds()));
    }

    // A new editor over the same settings starts again at frame 0.
    EditorHarness reopened;
    reopened.paintOnce();
    reopened.editor.reset();
    reopened.editor.reset (dynamic_cast<TapeAudioProcessorEditor*> (reopened.processor.createEditor()));
    EXPECT_TRUE (sameRegion (first, reopened.paintOnce(), first.getBounds()));
}
