// The renderer's command line read into a plain description of the job. It
// touches no files and no audio, so every rule can be checked on its own.
#pragma once

#include <juce_core/juce_core.h>

#include <optional>
#include <vector>

namespace marrowtone::render
{
// One --set option: a row of the parameter table and a value in its own units.
struct ParameterSetting
{
    int index;
    float value;
};

struct RenderOptions
{
    juce::String inputPath;
    juce::String outputPath;
    juce::String presetName;                // empty: the parameter defaults
    std::vector<ParameterSetting> settings; // command-line order, applied after the preset
    std::optional<double> processorRate;    // empty: the input file's rate
    int blockSize = 512;
    bool showHelp = false;
    bool listPresets = false;
};

enum class OptionError
{
    none,
    unknownOption,
    missingValue,
    malformedSetting,
    unknownParameter,
    notANumber,
    outOfRange,
    badBlockSize,
    badRate,
    missingFiles,
    tooManyFiles
};

struct ParsedOptions
{
    RenderOptions options;
    OptionError error = OptionError::none;
    juce::String message; // one line, set whenever error is not none
};

inline constexpr int largestBlockSize = 65536;
inline constexpr double lowestRate = 8000.0;
inline constexpr double highestRate = 384000.0;

// The arguments after the program name.
ParsedOptions parseRenderOptions (const juce::StringArray& arguments);

juce::String usageText();
} // namespace marrowtone::render
