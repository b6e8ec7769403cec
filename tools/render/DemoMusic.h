// A short, deterministic piece of stereo music to render through the
// plug-in when no recording is at hand.
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

namespace marrowtone::demo
{
inline constexpr double demoSampleRate = 48000.0;
inline constexpr double demoTempo = 120.0;   // beats per minute, four beats a bar
inline constexpr float demoPeakLevel = 0.7f; // about -3 dBFS, leaving the drive stage room

// I-V-vi-IV in C major, one chord a bar, repeated for as long as asked: a
// plucked piano on half notes, an arpeggiated melody, an eighth-note bass,
// kick, snare and hi-hat. Two channels, normalised to demoPeakLevel.
juce::AudioBuffer<float> composeDemoMusic (double seconds, double sampleRate = demoSampleRate);
} // namespace marrowtone::demo
