// The editor's flat two-colour look: thin light or dark outlines, square
// corners, no gradients. Every control of the editor inherits it.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace marrowtone::palette
{
inline constexpr juce::uint32 light = 0xffe5e5e5;
inline constexpr juce::uint32 dark = 0xff222222;
inline constexpr juce::uint32 body = 0xffe2883a;
inline constexpr juce::uint32 pressedTint = 0x3f222222;
} // namespace marrowtone::palette

class UserInterface : public juce::LookAndFeel_V4
{
public:
    UserInterface();
    ~UserInterface() override;

    void drawButtonBackground (juce::Graphics&, juce::Button&, const juce::Colour& backgroundColour,
                               bool isHighlighted, bool isDown) override;

    void drawComboBox (juce::Graphics&, int width, int height, bool isButtonDown,
                       int buttonX, int buttonY, int buttonW, int buttonH, juce::ComboBox&) override;

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float sliderPosProportional, float rotaryStartAngle, float rotaryEndAngle,
                           juce::Slider&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (UserInterface)
};
