// A processor with its editor, found controls, a message pump for the
// controls' asynchronous callbacks, and pixel helpers for painted pictures.
#pragma once

#include "PluginEditor.h"
#include "PluginProcessor.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace juce
{
// The step JUCE's own dispatch loops take; the shared code is built without
// modal loops, so the tests drive the queue with it directly.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

// Runs the message loop for a while, so that asynchronous combo box changes,
// button clicks and parameter updates are delivered as in a host. Whatever is
// queued is always delivered, however late a busy machine schedules the test.
inline void pumpMessages (int milliseconds = 100)
{
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    do
    {
        while (juce::dispatchNextMessageOnSystemQueue (true))
        {
        }

        juce::Thread::sleep (1);
    } while (juce::Time::getMillisecondCounter() < end);
}

template <typename ComponentType>
std::vector<ComponentType*> childrenOfType (juce::Component& parent)
{
    std::vector<ComponentType*> found;

    for (auto* child : parent.getChildren())
        if (auto* typed = dynamic_cast<ComponentType*> (child))
            found.push_back (typed);

    return found;
}

struct EditorHarness
{
    explicit EditorHarness (const juce::String& currentPreset = "Default")
    {
        processor.setCurrentPreset (currentPreset);
        editor.reset (dynamic_cast<TapeAudioProcessorEditor*> (processor.createEditor()));
    }

    juce::ComboBox& presetBox() { return *childrenOfType<juce::ComboBox> (*editor).at (0); }
    juce::TextButton& saveButton() { return *childrenOfType<juce::TextButton> (*editor).at (0); }
    juce::Slider& knob (size_t index) { return *childrenOfType<juce::Slider> (*editor).at (index); }
    juce::Label& caption (size_t index) { return *childrenOfType<juce::Label> (*editor).at (index); }

    // One call of paint: every snapshot advances the hub-wheel animation.
    juce::Image paintOnce() { return editor->createComponentSnapshot (editor->getLocalBounds()); }

    TapeAudioProcessor processor;
    std::unique_ptr<TapeAudioProcessorEditor> editor;
};

// Exact by default; a tolerance per channel allows for the rasteriser's
// rounding where shapes overlap.
inline ::testing::AssertionResult pixelIs (const juce::Image& image, int x, int y, juce::uint32 argb, int tolerance = 0)
{
    const auto actual = image.getPixelAt (x, y).getARGB();
    bool close = true;

    for (int shift = 0; shift < 32; shift += 8)
        close = close && std::abs ((int) ((actual >> shift) & 0xff) - (int) ((argb >> shift) & 0xff)) <= tolerance;

    if (close)
        return ::testing::AssertionSuccess();

    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is "
                                         << juce::String::toHexString (actual) << ", expected "
                                         << juce::String::toHexString (argb);
}

inline float brightnessAt (const juce::Image& image, int x, int y)
{
    return image.getPixelAt (x, y).getPerceivedBrightness();
}
