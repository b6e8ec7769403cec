// The five automatable parameters, defined once. The processor's layout, the
// editor's knobs, the renderer and the tests all read this table, so an ID,
// range or default is never repeated anywhere else.
#pragma once

#include <array>

namespace marrowtone
{
struct ParameterDefinition
{
    const char* id;
    const char* name;     // shown to the host and as the knob's caption
    float minimum;
    float maximum;
    float defaultValue;
    bool isInteger;       // whole-number parameter (lowPass) rather than a 0.01-step float
    const char* suffix;   // appended to the knob's value box
};

// Host index order: this is the order parameters are registered in.
inline constexpr std::array<ParameterDefinition, 5> parameterTable { {
    { "saturation", "Saturation", -24.0f, 24.0f, 0.0f, false, "dB" },
    { "lowPass", "Low Pass", 8000.0f, 22000.0f, 18000.0f, true, "Hz" },
    { "noise", "Noise", -80.0f, 0.0f, -20.0f, false, "dB" },
    { "wow", "Wow", 0.0f, 100.0f, 2.0f, false, "%" },
    { "flutter", "Flutter", 0.0f, 100.0f, 2.0f, false, "%" },
} };

enum ParameterIndex
{
    saturationIndex,
    lowPassIndex,
    noiseIndex,
    wowIndex,
    flutterIndex
};
} // namespace marrowtone
