// What every harness needs: JUCE started with a throw-away home folder, a
// prepared processor, and the checks that hold after any input at all. A
// broken check traps, so libFuzzer keeps the input that broke it.
#pragma once

#include "ParameterTable.h"
#include "PluginProcessor.h"

#include <array>
#include <cstddef>
#include <cstdint>

// libFuzzer's entry points, which each harness defines.
extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size);

namespace fuzzing
{
using ParameterValues = std::array<float, marrowtone::parameterTable.size()>;

// Points HOME and XDG_CONFIG_HOME at a fresh temporary folder, then starts
// JUCE. Call once, from LLVMFuzzerInitialize, before any processor exists.
void startJuceInScratchHome();

// A trap rather than an assert: release builds keep it, and libFuzzer
// reports it as a crash together with the input.
inline void require (bool condition)
{
    if (! condition)
        __builtin_trap();
}

ParameterValues parameterValues (TapeAudioProcessor& processor);

// The parameter-state tree as the next written block would show it.
juce::String stateText (TapeAudioProcessor& processor);

// Whatever an input did, every parameter is a finite value inside its
// range, the tree is still the plug-in's tree, and a short block of audio
// comes out finite.
void requireUsableProcessor (TapeAudioProcessor& processor);

// The block the processor now writes reads back into a fresh instance with
// the same parameters and preset name. (Not always the same bytes: the
// framework leaves a tree value it clamped, such as "inf", in the tree when
// the parameter already held the clamped value, and writes it out again.)
void requireStateSurvivesRoundTrip (TapeAudioProcessor& processor);
} // namespace fuzzing
