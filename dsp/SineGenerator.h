// A phase-accumulating sine oscillator; the phase is kept within one turn so
// that it never loses precision however long the plug-in runs.
#pragma once

#include <juce_core/juce_core.h>

#include <limits>

class SineGenerator
{
public:
    explicit SineGenerator (double sampleRate);

    // Setting the frequency it already has changes nothing.
    void setFrequency (double hz) noexcept;

    // Steps the phase first, so the first value is sin (one increment), not sin (0).
    double getNextSample() noexcept;

    // The next numSamples values, exactly as that many getNextSample calls
    // would give them, but stepped in one loop and evaluated in another that
    // the compiler can vectorise.
    void getNextSamples (double* destination, int numSamples) noexcept;

private:
    static constexpr double twoPi = juce::MathConstants<double>::twoPi;

    double sampleRate;
    double phase = 0.0;
    // Not a number until set, so the first frequency always takes effect.
    double frequency = std::numeric_limits<double>::quiet_NaN();
    double phaseIncrement = 0.0;
};
