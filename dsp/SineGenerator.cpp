// Phase-accumulating sine oscillator.
#include "SineGenerator.h"

#include <cmath>

SineGenerator::SineGenerator (double rate)
    : sampleRate (rate)
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
    phase += phaseIncrement;
    if (phase > twoPi)
        phase -= twoPi;

    return std::sin (phase);
}
