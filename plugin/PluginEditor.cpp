// The editor window: builds and lays out the controls, runs the preset menu
// and paints the cassette face.
#include "PluginEditor.h"

#include "BinaryData.h"
#include "PresetLibrary.h"

using namespace marrowtone;

namespace
{
constexpr const char* userPrefix = "usr_";
constexpr const char* versionText = "v" JucePlugin_VersionString;

// A circle as a polygon of 0.05-radian steps, angle 0 at twelve o'clock.
// Tracing it anticlockwise punches a hole into a clockwise outer circle.
void addTracedCircle (juce::Path& path, juce::Point<float> centre, float radius, bool clockwise)
{
    const auto pointAt = [&] (float angle)
    { return centre.getPointOnCircumference (radius, angle); };
    const auto twoPi = juce::MathConstants<float>::twoPi;
    const auto start = pointAt (0.0f);

    path.startNewSubPath (start);

    if (clockwise)
        for (float angle = 0.0f; angle < twoPi; angle += 0.05f)
            path.lineTo (pointAt (angle));
    else
        for (float angle = twoPi; angle > 0.0f; angle -= 0.05f)
            path.lineTo (pointAt (angle));

    path.lineTo (start);
    path.closeSubPath();
}

// A guide roller of radius 15 as four Bezier quarters, clockwise from the top.
void addRoller (juce::Path& path, float cx, float cy)
{
    constexpr float r = 15.0f, k = 8.25f;

    path.startNewSubPath (cx, cy - r);
    path.cubicTo (cx + k, cy - r, cx + r, cy - k, cx + r, cy);
    path.cubicTo (cx + r, cy + k, cx + k, cy + r, cx, cy + r);
    path.cubicTo (cx - k, cy + r, cx - r, cy + k, cx - r, cy);
    path.cubicTo (cx - r, cy - k, cx - k, cy - r, cx, cy - r);
    path.closeSubPath();
}

// Six 2-pixel bars, 60 degrees apart, from 15 to 25 pixels out, one of them
// straight below the centre.
juce::Path makeHubWheel (float cx, float cy)
{
    juce::Path wheel;

    for (int bar = 0; bar < 6; ++bar)
    {
        wheel.addLineSegment ({ cx, cy + 25.0f, cx, cy + 15.0f }, 2.0f);
        wheel.applyTransform (juce::AffineTransform::rotation (juce::MathConstants<float>::pi / 3.0f, cx, cy));
    }

    return wheel;
}
} // namespace

TapeAudioProcessorEditor::TapeAudioProcessorEditor (TapeAudioProcessor& p, juce::AudioProcessorValueTreeState& state) :
    juce::AudioProcessorEditor (p),
    valueTreeState (state),
    tapeProcessor (p)
{
    setLookAndFeel (&userInterface);

    for (size_t i = 0; i < numKnobs; ++i)
    {
        const auto& entry = parameterTable[i];
        auto& caption = captions[i];
        auto& knob = knobs[i];

        caption.setText (entry.name, juce::dontSendNotification);
        addAndMakeVisible (caption);
        addAndMakeVisible (knob);

        attachments[i] = std::make_unique<SliderAttachment> (valueTreeState, entry.id, knob);
        knob.setTextValueSuffix (entry.suffix);
        knob.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
        knob.setTextBoxStyle (juce::Slider::TextBoxBelow, false, 70, 16);

        caption.attachToComponent (&knob, false);
        caption.setColour (juce::Label::textColourId, juce::Colour (palette::light));
        caption.setJustificationType (juce::Justification::centred);
    }

    addAndMakeVisible (presetBox);
    presetBox.setEditableText (true);
    populatePresets();
    presetBox.setText (tapeProcessor.getCurrentPreset(), juce::dontSendNotification);
    presetBox.onChange = [this]
    { presetChanged(); };

    addAndMakeVisible (saveButton);
    saveButton.setButtonText ("Save");
    saveButton.onClick = [this]
    { saveClicked(); };

    // Without a usable document the face is simply painted without its badge.
    if (const auto svg = juce::XmlDocument::parse (juce::String::fromUTF8 (BinaryData::logo_svg, BinaryData::logo_svgSize)))
        logo = juce::Drawable::createFromSVG (*svg);

    setSize (440, 440);
    startTimer (17);
}

TapeAudioProcessorEditor::~TapeAudioProcessorEditor()
{
    // The controls still refer to the look-and-feel, which is destroyed before them.
    setLookAndFeel (nullptr);
}

void TapeAudioProcessorEditor::resized()
{
    presetBox.setBounds (90, 1, 210, 28);
    saveButton.setBounds (301, 1, 49, 28);

    for (size_t i = 0; i < numKnobs; ++i)
        knobs[i].setBoundsRelative (0.2f * (float) i, 0.83f, 0.2f, 0.14f);
}

void TapeAudioProcessorEditor::buttonClicked (juce::Button*) { }

void TapeAudioProcessorEditor::timerCallback()
{
    repaint();
}

void TapeAudioProcessorEditor::populatePresets()
{
    presetBox.clear (juce::dontSendNotification);

    presetBox.addSectionHeading ("Factory Presets");
    int itemId = 1;
    for (const auto& preset : factoryPresets())
        presetBox.addItem (preset.name, itemId++);

    // In the folder's own listing order, not sorted: user IDs follow that order from 16 on.
    presetBox.addSectionHeading ("User Presets");
    for (const auto& file : listUserPresetFiles())
        presetBox.addItem (file.getFileNameWithoutExtension(), itemId++);
}

void TapeAudioProcessorEditor::presetChanged()
{
    // Recorded even when nothing loads, so a typed name goes into the project.
    tapeProcessor.loadPreset (presetBox.getText());
    tapeProcessor.setCurrentPreset (presetBox.getText());
}

void TapeAudioProcessorEditor::saveClicked()
{
    const auto typed = presetBox.getText();
    const auto name = typed.startsWith (userPrefix) ? typed : userPrefix + typed;

    // A name that would leave the preset folder is not saved, and the box is left as it was.
    if (!isSafePresetName (name))
        return;

    if (name != typed)
        presetBox.setText (name, juce::sendNotificationAsync);

    saveUserPreset (valueTreeState, name);
    populatePresets();

    // Every match is selected in turn, so with duplicates the last one wins.
    for (int i = 0; i < presetBox.getNumItems(); ++i)
        if (presetBox.getItemText (i) == presetBox.getText())
            presetBox.setSelectedId (presetBox.getItemId (i), juce::sendNotificationAsync);
}

void TapeAudioProcessorEditor::paint (juce::Graphics& g)
{
    const juce::Colour light (palette::light), dark (palette::dark), body (palette::body);
    const juce::PathStrokeType stroke (2.0f);

    g.fillAll (light);
    g.setColour (dark);
    g.fillRect (0, 30, 440, 410);
    g.setColour (body);
    g.fillRect (10, 40, 420, 300);

    g.setColour (dark);
    g.drawRoundedRectangle (27.5f, 70.0f, 382.5f, 240.0f, 10.0f, 2.0f);

    if (logo != nullptr)
        logo->drawWithin (g, { 2.0f, 2.0f, 26.0f, 26.0f }, juce::RectanglePlacement::centred, 1.0f);

    g.drawFittedText (versionText, getWidth() - 35, 2, 26, 26, juce::Justification::centred, 1, 0.0f);

    juce::Path trapezoid;
    trapezoid.startNewSubPath (90.0f, 310.0f);
    trapezoid.lineTo (110.0f, 260.0f);
    trapezoid.lineTo (330.0f, 260.0f);
    trapezoid.lineTo (350.0f, 310.0f);
    g.strokePath (trapezoid, stroke);

    const juce::Point<float> leftReel (135.0f, 175.0f), rightReel (305.0f, 175.0f);

    juce::Path reels;
    addTracedCircle (reels, leftReel, 75.0f, true);
    addTracedCircle (reels, leftReel, 34.95f, false);
    addTracedCircle (reels, rightReel, 55.0f, true);
    addTracedCircle (reels, rightReel, 34.98f, false);
    addRoller (reels, 65.0f, 285.0f);
    addRoller (reels, 375.0f, 285.0f);
    g.fillPath (reels);
    g.strokePath (reels, stroke);

    juce::Path tape;
    tape.startNewSubPath (60.2f, 170.0f);
    tape.lineTo (50.0f, 285.0f);
    tape.lineTo (65.0f, 300.0f);
    tape.lineTo (375.0f, 300.0f);
    tape.lineTo (389.1f, 280.0f);
    tape.lineTo (358.5f, 162.2f);
    g.strokePath (tape, stroke);

    for (const auto& hole : { juce::Rectangle<float> (110.0f, 285.0f, 10.0f, 10.0f),
                              juce::Rectangle<float> (140.0f, 270.0f, 10.0f, 10.0f),
                              juce::Rectangle<float> (285.0f, 270.0f, 10.0f, 10.0f),
                              juce::Rectangle<float> (315.0f, 285.0f, 10.0f, 10.0f),
                              juce::Rectangle<float> (110.0f, 150.0f, 50.0f, 50.0f),
                              juce::Rectangle<float> (280.0f, 150.0f, 50.0f, 50.0f) })
        g.drawEllipse (hole, 2.0f);

    // Both wheels turn anticlockwise by one step per paint; 200 steps are one turn.
    const auto angle = -(float) frameCounter * rotationStep;
    for (const auto& reel : { leftReel, rightReel })
        g.fillPath (makeHubWheel (reel.x, reel.y), juce::AffineTransform::rotation (angle, reel.x, reel.y));

    frameCounter = frameCounter <= 198 ? frameCounter + 1 : 0;
}
