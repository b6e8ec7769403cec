// The plug-in's 440 x 440 window: the painted cassette face with its turning
// hub wheels, five knobs bound to the parameters, and the preset bar.
#pragma once

#include "ParameterTable.h"
#include "PluginProcessor.h"
#include "UserInterface.h"

#include <array>
#include <memory>

class TapeAudioProcessorEditor : public juce::AudioProcessorEditor,
                                 public juce::Button::Listener,
                                 public juce::Timer
{
public:
    TapeAudioProcessorEditor (TapeAudioProcessor&, juce::AudioProcessorValueTreeState&);
    ~TapeAudioProcessorEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;
    void buttonClicked (juce::Button*) override;
    void timerCallback() override;

private:
    static constexpr auto numKnobs = marrowtone::parameterTable.size();
    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;

    void populatePresets();
    void presetChanged();
    void saveClicked();

    juce::AudioProcessorValueTreeState& valueTreeState;
    std::array<juce::Label, numKnobs> captions;
    std::array<juce::Slider, numKnobs> knobs;
    juce::ComboBox presetBox;
    juce::TextButton saveButton;
    std::array<std::unique_ptr<SliderAttachment>, numKnobs> attachments;
    TapeAudioProcessor& tapeProcessor;
    int frameCounter = 0;
    const float rotationStep = juce::MathConstants<float>::pi / 100.0f;
    UserInterface userInterface;
    std::unique_ptr<juce::Drawable> logo;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TapeAudioProcessorEditor)
};
