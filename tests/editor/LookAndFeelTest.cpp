// Proves the flat look of the editor's controls: an unfilled preset box, a
// save button tinted only while pressed, dark fields while editing, and
// knobs too small for a radius drawing nothing.
#include "EditorHarness.h"
#include "UserInterface.h"

using namespace marrowtone;

namespace
{
// A spot inside the save button (x 301, width 49) that its text never covers.
constexpr int buttonX = 304, buttonY = 4;

juce::uint8 expectedTint()
{
    return juce::Colour (palette::light).overlaidWith (juce::Colour (palette::pressedTint)).getRed();
}
} // namespace

TEST (EditorLookAndFeel, SaveButtonIsTintedOnlyWhilePressed)
{
    EditorHarness harness;
    auto& button = harness.saveButton();

    struct Case
    {
        juce::Button::ButtonState state;
        juce::uint8 red;
    };

    for (const auto& c : { Case { juce::Button::buttonNormal, 0xe5 }, Case { juce::Button::buttonOver, 0xe5 },
                           Case { juce::Button::buttonDown, expectedTint() }, Case { juce::Button::buttonNormal, 0xe5 } })
    {
        button.setState (c.state);
        const auto image = harness.paintOnce();

        EXPECT_NEAR (image.getPixelAt (buttonX, buttonY).getRed(), c.red, 1) << "state " << (int) c.state;
        EXPECT_TRUE (pixelIs (image, 301, 15, palette::dark, 2)) << "frame, state " << (int) c.state;
    }
}

TEST (EditorLookAndFeel, PresetBoxIsAnUnfilledFrameWithADarkArrow)
{
    EditorHarness harness;
    harness.presetBox().setText ("", juce::dontSendNotification);
    const auto image = harness.paintOnce();

    // Box at x 90, y 1, 210 x 28: frame on its outermost pixels, arrow through (190, 17).
    EXPECT_TRUE (pixelIs (image, 90, 15, palette::dark));
    EXPECT_TRUE (pixelIs (image, 299, 15, palette::dark, 2));
    EXPECT_TRUE (pixelIs (image, 200, 1, palette::dark));
    EXPECT_TRUE (pixelIs (image, 200, 28, palette::dark));
    EXPECT_LT (brightnessAt (image, 90 + 190, 1 + 17), 0.4f);
    EXPECT_TRUE (pixelIs (image, 150, 15, palette::light));
    EXPECT_TRUE (pixelIs (image, 90 + 190, 1 + 22, palette::light));
}

TEST (EditorLookAndFeel, PresetTextTurnsDarkWhileBeingEdited)
{
    EditorHarness harness;
    auto& boxLabel = *childrenOfType<juce::Label> (harness.presetBox()).at (0);
    const juce::Point<int> insideBox (240, 8);

    EXPECT_TRUE (pixelIs (harness.paintOnce(), insideBox.x, insideBox.y, palette::light));

    boxLabel.showEditor();
    ASSERT_NE (boxLabel.getCurrentTextEditor(), nullptr);
    EXPECT_TRUE (pixelIs (harness.paintOnce(), insideBox.x, insideBox.y, palette::dark));
    EXPECT_EQ (boxLabel.getCurrentTextEditor()->findColour (juce::TextEditor::textColourId), juce::Colour (palette::light));

    boxLabel.hideEditor (true);
    EXPECT_TRUE (pixelIs (harness.paintOnce(), insideBox.x, insideBox.y, palette::light));
}

TEST (EditorLookAndFeel, KnobTooSmallForARadiusDrawsNothing)
{
    UserInterface look;
    juce::Slider knob;

    for (const auto size : { juce::Point<int> (1, 40), juce::Point<int> (40, 1), juce::Point<int> (0, 0) })
    {
        juce::Image image (juce::Image::ARGB, 40, 40, true);
        {
            juce::Graphics g (image);
            look.drawRotarySlider (g, 0, 0, size.x, size.y, 0.5f, 1.2f * juce::MathConstants<float>::pi,
                                   2.8f * juce::MathConstants<float>::pi, knob);
        }

        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ (image.getPixelAt (x, y).getAlpha(), 0) << size.x << " x " << size.y << " at " << x << ", " << y;
    }

    // The same call with room for a knob does draw.
    juce::Image image (juce::Image::ARGB, 40, 40, true);
    {
        juce::Graphics g (image);
        look.drawRotarySlider (g, 0, 0, 40, 40, 0.5f, 1.2f * juce::MathConstants<float>::pi,
                               2.8f * juce::MathConstants<float>::pi, knob);
    }
    EXPECT_EQ (image.getPixelAt (20, 20 - 10).getARGB(), palette::light);
}
