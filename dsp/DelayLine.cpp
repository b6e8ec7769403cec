// Fixed-length circular delay.
#include "DelayLine.h"

DelayLine::DelayLine (int channels, int samplesPerChannel) :
    buffer (channels, samplesPerChannel),
    numChannels (channels),
    length (samplesPerChannel),
    writeIndex ((size_t) channels, 0)
{
    buffer.clear();
}

float DelayLine::processValue (float sample, int channel)
{
    const auto delayed = buffer.getSample (channel, writeIndex[(size_t) channel]);
    write (sample, channel);
    return delayed;
}
