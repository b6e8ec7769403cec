// Proves that the knobs and the parameters follow each other both ways, that
// typed values and double-clicks reach the parameters, and that editors can
// come and go while the processor runs without leaking.
#include "EditorHarness.h"
#include "ParameterTable.h"
#include "ProcessorHarness.h"
#include "UserInterface.h"

#include <atomic>
#include <malloc.h>
#include <thread>

using namespace marrowtone;

namespace
{
juce::Label& valueBox (juce::Slider& knob)
{
    return *childrenOfType<juce::Label> (knob).at (0);
}

void typeIntoValueBox (juce::Slider& knob, const juce::String& text)
{
    auto& box = valueBox (knob);
    box.showEditor();
    ASSERT_NE (box.getCurrentTextEditor(), nullptr);
    box.getCurrentTextEditor()->setText (text, false);
    box.hideEditor (false);
}

juce::MouseEvent clickOn (juce::Slider& knob, juce::ModifierKeys mods, int numberOfClicks)
{
    const auto centre = knob.getLocalBounds().getCentre().toFloat();
    const auto now = juce::Time::getCurrentTime();

    return { juce::Desktop::getInstance().getMainMouseSource(), centre, mods, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f,
             &knob, &knob, now, centre, now, numberOfClicks, false };
}

// The calls the framework makes for a double click: two presses, the second
// one reported as a double click.
void doubleClick (juce::Slider& knob)
{
    const juce::ModifierKeys left (juce::ModifierKeys::leftButtonModifier);

    knob.mouseDown (clickOn (knob, left, 1));
    knob.mouseUp (clickOn (knob, {}, 1));
    knob.mouseDown (clickOn (knob, left, 2));
    knob.mouseDoubleClick (clickOn (knob, left, 2));
    knob.mouseUp (clickOn (knob, {}, 2));
}

void altClick (juce::Slider& knob)
{
    knob.mouseDown (clickOn (knob, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier | juce::ModifierKeys::altModifier), 1));
    knob.mouseUp (clickOn (knob, juce::ModifierKeys (juce::ModifierKeys::altModifier), 1));
}

size_t heapInUse()
{
    return mallinfo2().uordblks;
}
} // namespace

TEST (EditorControls, KnobsTakeTheirParametersRangeValueAndSuffix)
{
    EditorHarness harness;

    for (size_t i = 0; i < parameterTable.size(); ++i)
    {
        const auto& entry = parameterTable[i];
        auto& knob = harness.knob (i);
        SCOPED_TRACE (entry.id);

        EXPECT_EQ (knob.getMinimum(), entry.minimum);
        EXPECT_EQ (knob.getMaximum(), entry.maximum);
        EXPECT_EQ (knob.getValue(), entry.defaultValue);
        EXPECT_EQ (harness.caption (i).getText(), entry.name);

        // The parameter's own text, then the suffix with no blank between.
        const auto* parameter = harness.processor.parameters.getParameter (entry.id);
        EXPECT_EQ (valueBox (knob).getText(), parameter->getCurrentValueAsText() + entry.suffix);
    }

    EXPECT_EQ (valueBox (harness.knob (lowPassIndex)).getText(), "18000Hz");
    EXPECT_EQ (valueBox (harness.knob (noiseIndex)).getText(), "-20.00dB");
}

TEST (EditorControls, CaptionsSitCentredAboveTheirKnobsInLightText)
{
    EditorHarness harness;
    const auto image = harness.paintOnce();

    for (size_t i = 0; i < parameterTable.size(); ++i)
    {
        const auto knob = harness.knob (i).getBounds();
        const auto caption = harness.caption (i).getBounds();
        EXPECT_EQ (caption.getBottom(), knob.getY());
        EXPECT_EQ (caption.getX(), knob.getX());
        EXPECT_EQ (caption.getWidth(), knob.getWidth());

        // Text lit up around the middle of the caption and not at its edges.
        const auto lightPixelsIn = [&] (int left, int right)
        {
            int count = 0;
            for (int y = caption.getY(); y < caption.getBottom(); ++y)
                for (int x = left; x < right; ++x)
                    count += brightnessAt (image, x, y) > 0.6f ? 1 : 0;
            return count;
        };

        const auto middle = caption.getCentreX();
        EXPECT_GT (lightPixelsIn (middle - 8, middle + 8), 10) << parameterTable[i].name;
        EXPECT_EQ (lightPixelsIn (caption.getX(), caption.getX() + 4), 0) << parameterTable[i].name;
        EXPECT_EQ (lightPixelsIn (caption.getRight() - 4, caption.getRight()), 0) << parameterTable[i].name;
    }
}

TEST (EditorControls, HostAutomationMovesTheKnob)
{
    EditorHarness harness;

    setParameter (harness.processor, parameterTable[lowPassIndex].id, 9000.0f);
    EXPECT_EQ (harness.knob (lowPassIndex).getValue(), 9000.0);

    // Automation from the audio thread arrives through the message loop.
    const auto automate = [&]
    { setParameter (harness.processor, parameterTable[wowIndex].id, 55.5f); };
    std::thread host (automate);
    host.join();
    pumpMessages();
    EXPECT_FLOAT_EQ ((float) harness.knob (wowIndex).getValue(), 55.5f);
    EXPECT_EQ (valueBox (harness.knob (wowIndex)).getText(), "55.50%");
}

TEST (EditorControls, KnobGesturesAndTypedValuesSetTheParameter)
{
    EditorHarness harness;

    harness.knob (saturationIndex).setValue (-6.0);
    pumpMessages (20);
    EXPECT_EQ (parameterValue (harness.processor, parameterTable[saturationIndex].id), -6.0f);

    typeIntoValueBox (harness.knob (lowPassIndex), "15000");
    EXPECT_EQ (parameterValue (harness.processor, parameterTable[lowPassIndex].id), 15000.0f);
    EXPECT_EQ (valueBox (harness.knob (lowPassIndex)).getText(), "15000Hz");

    typeIntoValueBox (harness.knob (noiseIndex), "-33.333");
    EXPECT_FLOAT_EQ (parameterValue (harness.processor, parameterTable[noiseIndex].id), -33.33f);
    EXPECT_EQ (valueBox (harness.knob (noiseIndex)).getText(), "-33.33dB");

    // Beyond the range the parameter stops at its end.
    typeIntoValueBox (harness.knob (flutterIndex), "250");
    EXPECT_EQ (parameterValue (harness.processor, parameterTable[flutterIndex].id), parameterTable[flutterIndex].maximum);
}

TEST (EditorControls, DoubleClickOrAltClickReturnsKnobAndParameterToTheDefault)
{
    EditorHarness harness;

    for (const auto click : { doubleClick, altClick })
    {
        for (const auto index : { saturationIndex, lowPassIndex, flutterIndex })
        {
            const auto& entry = parameterTable[(size_t) index];
            auto& knob = harness.knob ((size_t) index);
            setParameter (harness.processor, entry.id, entry.maximum);
            ASSERT_EQ (knob.getValue(), entry.maximum);

            click (knob);
            pumpMessages (20);

            EXPECT_EQ (parameterValue (harness.processor, entry.id), entry.defaultValue) << entry.id;
            EXPECT_EQ (knob.getValue(), entry.defaultValue) << entry.id;
        }
    }
}

TEST (EditorControls, WindowKeepsItsFixedSize)
{
    EditorHarness harness;

    EXPECT_EQ (harness.editor->getBounds(), juce::Rectangle<int> (0, 0, 440, 440));
    EXPECT_FALSE (harness.editor->isResizable());
}

TEST (EditorControls, OpeningAndClosingTheEditorWhileProcessingLeaksNothing)
{
    TapeAudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    std::atomic<bool> running { true };
    const auto renderUntilStopped = [&]
    {
        const auto sine = makeSine (2, 256, 48000.0, 440.0, 0.5f);
        auto buffer = sine;

        while (running)
        {
            buffer.makeCopyOf (sine, true);
            process (processor, buffer);
        }
    };
    std::thread audio (renderUntilStopped);

    const auto openPaintAndClose = [&]
    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        editor->createComponentSnapshot (editor->getLocalBounds());
        setParameter (processor, parameterTable[noiseIndex].id, -30.0f);
        pumpMessages (5);
    };

    // The first few dozen editors fill the framework's glyph and image caches.
    for (int i = 0; i < 40; ++i)
        openPaintAndClose();

    const auto before = heapInUse();
    for (int i = 0; i < 80; ++i)
        openPaintAndClose();
    const auto after = heapInUse();

    running = false;
    audio.join();

    EXPECT_EQ (processor.getActiveEditor(), nullptr);
    // One leaked editor would keep its components and its logo's pixels
    // (about 100 KB); eighty would be megabytes.
    EXPECT_LT ((long long) after - (long long) before, 32 * 1024);
}
