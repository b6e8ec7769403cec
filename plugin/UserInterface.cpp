// Knob, combo box and button drawing for the editor's flat look.
#include "UserInterface.h"

using namespace marrowtone;

UserInterface::UserInterface()
{
    const juce::Colour light (palette::light), dark (palette::dark);

    setColour (juce::ComboBox::textColourId, dark);
    setColour (juce::TextButton::textColourOnId, dark);
    setColour (juce::TextButton::textColourOffId, dark);
    setColour (juce::PopupMenu::backgroundColourId, light);
    setColour (juce::PopupMenu::textColourId, dark);
    setColour (juce::PopupMenu::headerTextColourId, dark);
    setColour (juce::PopupMenu::highlightedTextColourId, light);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, dark);
    setColour (juce::TextEditor::textColourId, dark);
    setColour (juce::TextEditor::highlightedTextColourId, light);
    setColour (juce::TextEditor::outlineColourId, dark);
    setColour (juce::Label::textWhenEditingColourId, light);
    setColour (juce::Label::outlineWhenEditingColourId, light);
    setColour (juce::Label::backgroundWhenEditingColourId, dark);
}

UserInterface::~UserInterface() = default;

void UserInterface::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                          bool, bool isDown)
{
    // No hover state on purpose: only a press tints the button.
    const auto bounds = button.getLocalBounds().toFloat();

    g.setColour (juce::Colour (palette::dark));
    g.drawRoundedRectangle (bounds.reduced (0.5f), 0.0f, 1.0f);

    g.setColour (isDown ? juce::Colour (palette::pressedTint) : juce::Colour (palette::dark).withAlpha ((juce::uint8) 0));
    g.fillRoundedRectangle (bounds, 0.0f);
}

void UserInterface::drawComboBox (juce::Graphics& g, int width, int height, bool,
                                  int, int, int, int, juce::ComboBox&)
{
    // Never filled, so the editor's light strip shows through.
    g.setColour (juce::Colour (palette::dark));
    g.drawRoundedRectangle (juce::Rectangle<int> (width, height).toFloat().reduced (0.5f), 0.0f, 1.0f);

    const auto middle = height / 2;
    juce::Path arrow;
    arrow.startNewSubPath ((float) (width - 30 + 3), (float) (middle - 2));
    arrow.lineTo ((float) (width - 20), (float) (middle + 3));
    arrow.lineTo ((float) (width - 10 - 3), (float) (middle - 2));
    g.strokePath (arrow, juce::PathStrokeType (2.0f));
}

void UserInterface::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                      float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                                      juce::Slider& slider)
{
    const auto radius = (float) (juce::jmin (width / 2, height / 2) * 0.7);
    const auto centreX = (float) x + (float) width * 0.5f;
    const auto centreY = (float) y + (float) height * 0.5f;

    g.setColour (juce::Colour (palette::light));

    juce::Path ring;
    ring.addPieSegment (centreX - radius, centreY - radius, radius * 2.0f, radius * 2.0f,
                        0.0f, juce::MathConstants<float>::twoPi, 0.9f);
    g.fillPath (ring);

    const auto angle = rotaryStartAngle + sliderPosProportional * (rotaryEndAngle - rotaryStartAngle);
    juce::Path pointer;
    pointer.addRectangle (-1.0f, -radius, 2.0f, radius);
    g.fillPath (pointer, juce::AffineTransform::rotation (angle).translated (centreX, centreY));

    // The value box sits on the editor's dark area, so it needs light text and
    // nothing else; setting an unchanged colour is a no-op after the first draw.
    slider.setColour (juce::Slider::textBoxBackgroundColourId, juce::Colour (0x00000000));
    slider.setColour (juce::Slider::textBoxTextColourId, juce::Colour (palette::light));
    slider.setColour (juce::Slider::textBoxHighlightColourId, juce::Colour (0x00000000));
    slider.setColour (juce::Slider::textBoxOutlineColourId, juce::Colour (0x00000000));
}
