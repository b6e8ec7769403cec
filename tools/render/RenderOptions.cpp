// Command-line parsing for marrowtone-render: every rule about what the user
// may type lives here, each failure named by its own OptionError.
#include "RenderOptions.h"

#include "ParameterTable.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace marrowtone::render
{
namespace
{
// The whole text must be a finite decimal number; strtod alone would accept
// "12k" as 12 and " 5" as 5.
std::optional<double> parseNumber (const juce::String& text)
{
    const auto utf8 = text.toStdString();
    if (utf8.empty() || std::isspace ((unsigned char)utf8.front()))
        return std::nullopt;

    char* end = nullptr;
    const auto value = std::strtod (utf8.c_str(), &end);
    if (end != utf8.c_str() + utf8.size() || !std::isfinite (value))
        return std::nullopt;

    return value;
}

int findParameter (const juce::String& id)
{
    for (size_t i = 0; i < parameterTable.size(); ++i)
        if (id == parameterTable[i].id)
            return (int)i;

    return -1;
}

// Table values print as "8000" and "-24", not "8000.0".
juce::String formatNumber (double value)
{
    return value == std::floor (value) ? juce::String ((juce::int64)value) : juce::String (value);
}

juce::String parameterIdList()
{
    juce::StringArray ids;
    for (const auto& parameter : parameterTable)
        ids.add (parameter.id);

    return ids.joinIntoString (", ");
}

ParsedOptions failure (OptionError error, const juce::String& message)
{
    ParsedOptions result;
    result.error = error;
    result.message = message;
    return result;
}

struct SettingResult
{
    ParameterSetting setting {};
    OptionError error = OptionError::none;
    juce::String message;
};

SettingResult parseSetting (const juce::String& text)
{
    const auto equals = text.indexOfChar ('=');
    if (equals <= 0)
        return { {}, OptionError::malformedSetting, "--set needs ID=VALUE, got '" + text + "'" };

    const auto id = text.substring (0, equals);
    const auto valueText = text.substring (equals + 1);

    const auto index = findParameter (id);
    if (index < 0)
        return { {}, OptionError::unknownParameter, "unknown parameter '" + id + "' (parameters: " + parameterIdList() + ")" };

    const auto value = parseNumber (valueText);
    if (!value)
        return { {}, OptionError::notANumber, "'" + valueText + "' is not a number (in --set " + text + ")" };

    // A host would clamp silently; on a command line an out-of-range value is
    // almost always a typo, so it is named instead.
    const auto& definition = parameterTable[(size_t)index];
    if (*value < definition.minimum || *value > definition.maximum)
        return { {}, OptionError::outOfRange, id + "=" + valueText + " is outside " + formatNumber (definition.minimum) + " to " + formatNumber (definition.maximum) };

    return { { index, (float)*value }, OptionError::none, {} };
}

std::optional<int> parseBlockSize (const juce::String& text)
{
    if (text.isEmpty() || !text.containsOnly ("0123456789") || text.length() > 6)
        return std::nullopt;

    const auto value = text.getIntValue();
    if (value < 1 || value > largestBlockSize)
        return std::nullopt;

    return value;
}

std::optional<double> parseRate (const juce::String& text)
{
    const auto value = parseNumber (text);
    if (!value || *value < lowestRate || *value > highestRate)
        return std::nullopt;

    return value;
}
} // namespace

ParsedOptions parseRenderOptions (const juce::StringArray& arguments)
{
    ParsedOptions result;
    auto& options = result.options;
    juce::StringArray files;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (argument == "--help" || argument == "-h")
        {
            options.showHelp = true;
            return result;
        }

        if (argument == "--list-presets")
        {
            options.listPresets = true;
            continue;
        }

        const auto takesValue = argument == "--set" || argument == "--preset"
            || argument == "--rate" || argument == "--block";

        if (takesValue)
        {
            if (i + 1 >= arguments.size())
                return failure (OptionError::missingValue, argument + " needs a value");

            const auto& value = arguments[++i];

            if (argument == "--set")
            {
                const auto setting = parseSetting (value);
                if (setting.error != OptionError::none)
                    return failure (setting.error, setting.message);

                options.settings.push_back (setting.setting);
            }
            else if (argument == "--preset")
            {
                if (value.isEmpty())
                    return failure (OptionError::missingValue, "--preset needs a preset name");

                options.presetName = value;
            }
            else if (argument == "--rate")
            {
                const auto rate = parseRate (value);
                if (!rate)
                    return failure (OptionError::badRate,
                                    "--rate needs a sample rate from " + formatNumber (lowestRate) + " to "
                                        + formatNumber (highestRate) + " Hz, got '" + value + "'");

                options.processorRate = rate;
            }
            else
            {
                const auto blockSize = parseBlockSize (value);
                if (!blockSize)
                    return failure (OptionError::badBlockSize,
                                    "--block needs a whole number from 1 to " + juce::String (largestBlockSize)
                                        + ", got '" + value + "'");

                options.blockSize = *blockSize;
            }

            continue;
        }

        if (argument.startsWith ("-"))
            return failure (OptionError::unknownOption, "unknown option '" + argument + "' (see --help)");

        files.add (argument);
    }

    if (options.listPresets && files.isEmpty())
        return result;

    if (files.size() < 2)
        return failure (OptionError::missingFiles, "needs an input and an output file (see --help)");

    if (files.size() > 2)
        return failure (OptionError::tooManyFiles, "unexpected extra argument '" + files[2] + "'");

    options.inputPath = files[0];
    options.outputPath = files[1];
    return result;
}

juce::String usageText()
{
    juce::StringArray ids;
    for (const auto& parameter : parameterTable)
        ids.add ("  " + juce::String (parameter.id).paddedRight (' ', 12) + formatNumber (parameter.minimum) + " to "
                 + formatNumber (parameter.maximum) + " " + parameter.suffix + ", default "
                 + formatNumber (parameter.defaultValue));

    return "Usage: marrowtone-render IN OUT [--preset NAME] [--set ID=VALUE]... [--rate HZ] [--block N]\n"
           "       marrowtone-render --list-presets\n"
           "\n"
           "Runs a WAV, AIFF or FLAC file (mono or stereo) through the Marrowtone processor\n"
           "the way a host plays it, and writes OUT as a 24-bit WAV at the input's rate.\n"
           "Nothing is compensated: the 12 ms latency is in the output, as a host hears it.\n"
           "OUT is written in full or not at all, and never over IN.\n"
           "\n"
           "  --preset NAME    load a factory or user preset first (see --list-presets)\n"
           "  --set ID=VALUE   set a parameter in its own units, after the preset; repeatable\n"
           "  --rate HZ        prepare the processor at HZ instead of the file's rate; the\n"
           "                   samples are not resampled and OUT keeps the file's rate, so\n"
           "                   this renders what a host running at HZ makes of these samples\n"
           "                   ("
        + formatNumber (lowestRate) + " to " + formatNumber (highestRate) + ")\n"
                                                                            "  --block N        host block size in samples, default 512, the last block shorter\n"
                                                                            "                   (1 to "
        + juce::String (largestBlockSize) + ")\n"
                                            "  --list-presets   print the factory presets, then the user presets, and exit\n"
                                            "  --help           print this text and exit\n"
                                            "\n"
                                            "Parameters:\n"
        + ids.joinIntoString ("\n") + "\n";
}
} // namespace marrowtone::render
