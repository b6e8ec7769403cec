// Wow and flutter: each delay swings around its centre by the sum of two sines
// whose frequencies are in fixed ratios, so each wobble repeats exactly (wow
// every 0.5 s, flutter every 0.1 s) like a warped capstan or a worn pinch roller.
#include "WahFlutter.h"

#include "SineGenerator.h"
#include "VariableDelayLine.h"

#include <juce_core/juce_core.h>

namespace
{
constexpr float maxDelayMs = 50.0f;
// The two centres together are the 12 ms latency the processor reports.
constexpr float centreDelayMs = 6.0f;

constexpr double wowSlowHz = 2.0;
constexpr double wowFastHz = 6.0;
constexpr double flutterSlowHz = 20.0;
constexpr double flutterFastHz = 70.0;

// Depth 100 swings wow by up to about 4.3 ms and flutter by about 0.66 ms.
constexpr double wowDepthDivisor = 20.0;
constexpr double flutterDepthDivisor = 150.0;

// Keeps each delay at 0.001 ms or more even for depths beyond the parameter range.
constexpr double lowestOffsetMs = -5.999;

std::unique_ptr<SineGenerator> makeSine (double sampleRate, double hz)
{
    auto sine = std::make_unique<SineGenerator> (sampleRate);
    sine->setFrequency (hz);
    return sine;
}

float floorOffset (float offsetMs)
{
    return (double) offsetMs < lowestOffsetMs ? (float) lowestOffsetMs : offsetMs;
}
} // namespace

WahFlutter::WahFlutter (double sampleRate) :
    wowDelay (std::make_unique<VariableDelayLine> (maxDelayMs, 1, sampleRate)),
    flutterDelay (std::make_unique<VariableDelayLine> (maxDelayMs, 1, sampleRate)),
    wowSlowSine (makeSine (sampleRate, wowSlowHz)),
    wowFastSine (makeSine (sampleRate, wowFastHz)),
    flutterSlowSine (makeSine (sampleRate, flutterSlowHz)),
    flutterFastSine (makeSine (sampleRate, flutterFastHz))
{
}

// Out of line so the owned types are complete where they are destroyed.
WahFlutter::~WahFlutter() = default;

void WahFlutter::processSamples (float* samples, int numSamples, float wow, float flutter)
{
    const auto wowScale = (double) wow / wowDepthDivisor;
    const auto flutterScale = (double) flutter / flutterDepthDivisor;

    // What a line returns depends only on what it has been fed so far, so
    // running the wow line over a stretch and then the flutter line over its
    // output gives the same samples as passing every sample through both in
    // turn.
    for (int start = 0; start < numSamples; start += stretchLength)
    {
        const auto length = juce::jmin (stretchLength, numSamples - start);
        auto& [wowSlow, wowFast, flutterSlow, flutterFast] = sines;
        wowSlowSine->getNextSamples (wowSlow.data(), length);
        wowFastSine->getNextSamples (wowFast.data(), length);
        flutterSlowSine->getNextSamples (flutterSlow.data(), length);
        flutterFastSine->getNextSamples (flutterFast.data(), length);

        for (int i = 0; i < length; ++i)
        {
            wowOffset = floorOffset ((float) ((0.3 * wowSlow[(size_t) i] + 0.7 * wowFast[(size_t) i]) * wowScale));
            flutterOffset = floorOffset ((float) ((0.7 * flutterSlow[(size_t) i] + 0.3 * flutterFast[(size_t) i]) * flutterScale));
            wowDelaysMs[(size_t) i] = (double) (wowOffset + centreDelayMs);
            flutterDelaysMs[(size_t) i] = (double) (flutterOffset + centreDelayMs);
        }

        wowDelay->processSamples (samples + start, wowDelaysMs.data(), length, 0);
        flutterDelay->processSamples (samples + start, flutterDelaysMs.data(), length, 0);
    }
}
