// Phase-accumulating sine oscillator.
#include "SineGenerator.h"

#include "FastSine.h"
#include "VectorClones.h"

SineGenerator::SineGenerator (double rate) :
    sampleRate (rate)
{
}

void SineGenerator::setFrequency (double hz) noexcept
{
    if (hz != frequency)
    {
        frequency = hz;
        phaseIncrement = hz / sampleRate * twoPi;
    }
}

double SineGenerator::getNextSample() noexcept
{
    double value;
    getNextSamples (&value, 1);
    return value;
}

MARROWTONE_WIDE_FMA_CLONES
void SineGenerator::getNextSamples (double* destination, int numSamples) noexcept
{
    // Stepped in a local, which the compiler may keep in a register: the
    // member could alias destination and would be stored and reloaded each step.
    auto runningPhase = phase;
    for (int i = 0; i < numSamples; ++i)
    {
        runningPhase += phaseIncrement;
        if (runningPhase > twoPi)
            runningPhase -= twoPi;
        destination[i] = runningPhase;
    }
    phase = runningPhase;

    for (int i = 0; i < numSamples; ++i)
        destination[i] = marrowtone::fastSine (destination[i]);
}
