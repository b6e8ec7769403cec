// One channel's tape-speed wobble: two modulated delays in series, the first
// swung slowly (wow), the second quickly (flutter), each centred on 6 ms.
#pragma once

#include <array>
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

    // Scratch for one stretch of a block: the four oscillators' values, then
    // each line's delays. Fixed here, so processing allocates nothing and
    // costs the same per sample whatever the host's block size.
    static constexpr int stretchLength = 64;
    std::array<std::array<double, stretchLength>, 4> sines {};
    std::array<double, stretchLength> wowDelaysMs {}, flutterDelaysMs {};
};
