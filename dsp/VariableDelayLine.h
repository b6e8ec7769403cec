// A delay line whose length in milliseconds is given with every sample and read
// between samples by six-point Lagrange interpolation, so a smoothly moving
// delay bends the pitch without zipper noise.
#pragma once

#include "DelayLine.h"

class VariableDelayLine : public DelayLine
{
public:
    VariableDelayLine (float maxDelayMs, int numChannels, double sampleRate);

    // Writes one sample and returns the one delayMs behind it, rounded to
    // single precision. Delays beyond maxDelayMs are shortened to it; a delay
    // that is not a number yields silence for this sample only.
    //
    // The delay is a double and this deliberately hides the base overloads:
    // a float delay would otherwise bind to the base's silent three-argument
    // form instead of this one.
    double processValue (float sample, int channel, double delayMs) noexcept;

    // processValue for each sample in turn, in place, with its own delay:
    // exactly the same results, computed several samples at a time.
    void processSamples (float* samples, const double* delaysMs, int numSamples, int channel) noexcept;

private:
    // The requested delay limited to the line and converted to samples.
    double delayInSamples (double delayMs) const noexcept;

    double maxDelayMs;
    double sampleRate;
};
