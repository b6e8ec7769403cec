// One channel's tape-speed wobble: two modulated delays in series, the first
// swung slowly (wow), the second quickly (flutter), each centred on 6 ms.
#pragma once

#include <memory>

class VariableDelayLine;
class SineGenerator;

class WahFlutter
{
public:
    explicit WahFlutter (double sampleRate);
    ~WahFlutter();

    // wow and flutter are the raw parameter depths, 0 to 100.
    void processSamples (float* samples, int numSamples, float wow, float flutter);

private:
    std::unique_ptr<VariableDelayLine> wowDelay;
    std::unique_ptr<VariableDelayLine> flutterDelay;
    std::unique_ptr<SineGenerator> wowSlowSine;
    std::unique_ptr<SineGenerator> wowFastSine;
    std::unique_ptr<SineGenerator> flutterSlowSine;
    std::unique_ptr<SineGenerator> flutterFastSine;
    float wowOffset = 0.0f;
    float flutterOffset = 0.0f;
};
