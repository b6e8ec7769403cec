// Proves the renderer's command-line parser accepts the documented forms and
// names the right kind of error for each malformed command line.
#include "RenderOptions.h"

#include "ParameterTable.h"

#include <gtest/gtest.h>

#include <initializer_list>

using namespace marrowtone::render;

namespace
{
ParsedOptions parse (std::initializer_list<const char*> arguments)
{
    juce::StringArray array;
    for (const auto* argument : arguments)
        array.add (argument);

    return parseRenderOptions (array);
}
} // namespace

TEST (RenderOptions, TwoFilesAloneGiveTheDefaults)
{
    const auto parsed = parse ({ "in.wav", "out.wav" });

    ASSERT_EQ (parsed.error, OptionError::none) << parsed.message;
    EXPECT_EQ (parsed.options.inputPath, "in.wav");
    EXPECT_EQ (parsed.options.outputPath, "out.wav");
    EXPECT_EQ (parsed.options.blockSize, 512);
    EXPECT_FALSE (parsed.options.processorRate.has_value());
    EXPECT_TRUE (parsed.options.presetName.isEmpty());
    EXPECT_TRUE (parsed.options.settings.empty());
    EXPECT_FALSE (parsed.options.showHelp);
    EXPECT_FALSE (parsed.options.listPresets);
}

TEST (RenderOptions, OptionsMayComeBeforeBetweenAndAfterTheFiles)
{
    const auto parsed = parse ({ "--preset", "Grandma's Piano", "in.aiff", "--set", "lowPass=12000", "out.wav",
                                 "--set", "noise=-80", "--rate", "96000", "--block", "64", "--set", "lowPass=9000" });

    ASSERT_EQ (parsed.error, OptionError::none) << parsed.message;
    const auto& options = parsed.options;
    EXPECT_EQ (options.inputPath, "in.aiff");
    EXPECT_EQ (options.outputPath, "out.wav");
    EXPECT_EQ (options.presetName, "Grandma's Piano");
    EXPECT_EQ (options.processorRate, 96000.0);
    EXPECT_EQ (options.blockSize, 64);

    // Kept in command-line order, so a later --set of the same ID wins.
    ASSERT_EQ (options.settings.size(), 3u);
    EXPECT_EQ (options.settings[0].index, marrowtone::lowPassIndex);
    EXPECT_EQ (options.settings[0].value, 12000.0f);
    EXPECT_EQ (options.settings[1].index, marrowtone::noiseIndex);
    EXPECT_EQ (options.settings[1].value, -80.0f);
    EXPECT_EQ (options.settings[2].index, marrowtone::lowPassIndex);
    EXPECT_EQ (options.settings[2].value, 9000.0f);
}

TEST (RenderOptions, EveryParameterIsAcceptedAtBothEndsOfItsRange)
{
    for (size_t i = 0; i < marrowtone::parameterTable.size(); ++i)
    {
        const auto& definition = marrowtone::parameterTable[i];
        for (const auto value : { definition.minimum, definition.maximum })
        {
            const auto setting = juce::String (definition.id) + "=" + juce::String (value);
            const auto parsed = parse ({ "in.wav", "out.wav", "--set", setting.toRawUTF8() });

            ASSERT_EQ (parsed.error, OptionError::none) << setting << ": " << parsed.message;
            ASSERT_EQ (parsed.options.settings.size(), 1u);
            EXPECT_EQ (parsed.options.settings[0].index, (int)i);
            EXPECT_EQ (parsed.options.settings[0].value, value);
        }
    }
}

TEST (RenderOptions, NumbersMayUseDecimalsAndExponents)
{
    const auto parsed = parse ({ "in.wav", "out.wav", "--set", "wow=1.5e1", "--set", "saturation=-.25",
                                 "--rate", "44100.5", "--block", "65536" });

    ASSERT_EQ (parsed.error, OptionError::none) << parsed.message;
    EXPECT_EQ (parsed.options.settings[0].value, 15.0f);
    EXPECT_EQ (parsed.options.settings[1].value, -0.25f);
    EXPECT_EQ (parsed.options.processorRate, 44100.5);
    EXPECT_EQ (parsed.options.blockSize, largestBlockSize);
}

TEST (RenderOptions, HelpAndListPresetsNeedNoFiles)
{
    const auto help = parse ({ "--help", "--no-such-option" });
    EXPECT_EQ (help.error, OptionError::none);
    EXPECT_TRUE (help.options.showHelp);

    const auto list = parse ({ "--list-presets" });
    EXPECT_EQ (list.error, OptionError::none);
    EXPECT_TRUE (list.options.listPresets);
}

TEST (RenderOptions, EachMalformedCommandLineNamesItsError)
{
    struct Case
    {
        std::initializer_list<const char*> arguments;
        OptionError expected;
    };

    const Case cases[] = {
        { {}, OptionError::missingFiles },
        { { "in.wav" }, OptionError::missingFiles },
        { { "in.wav", "out.wav", "third.wav" }, OptionError::tooManyFiles },
        { { "in.wav", "out.wav", "--louder" }, OptionError::unknownOption },
        { { "-x", "in.wav", "out.wav" }, OptionError::unknownOption },
        { { "in.wav", "out.wav", "--set" }, OptionError::missingValue },
        { { "in.wav", "out.wav", "--block" }, OptionError::missingValue },
        { { "in.wav", "out.wav", "--preset", "" }, OptionError::missingValue },
        { { "in.wav", "out.wav", "--set", "lowPass" }, OptionError::malformedSetting },
        { { "in.wav", "out.wav", "--set", "=12000" }, OptionError::malformedSetting },
        { { "in.wav", "out.wav", "--set", "volume=1" }, OptionError::unknownParameter },
        { { "in.wav", "out.wav", "--set", "lowpass=12000" }, OptionError::unknownParameter },
        { { "in.wav", "out.wav", "--set", "lowPass=" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "lowPass=loud" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "lowPass=12k" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "lowPass= 12000" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "noise=nan" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "noise=-inf" }, OptionError::notANumber },
        { { "in.wav", "out.wav", "--set", "lowPass=7999" }, OptionError::outOfRange },
        { { "in.wav", "out.wav", "--set", "saturation=24.5" }, OptionError::outOfRange },
        { { "in.wav", "out.wav", "--block", "0" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--block", "-5" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--block", "1.5" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--block", "abc" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--block", "65537" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--block", "99999999999" }, OptionError::badBlockSize },
        { { "in.wav", "out.wav", "--rate", "fast" }, OptionError::badRate },
        { { "in.wav", "out.wav", "--rate", "0" }, OptionError::badRate },
        { { "in.wav", "out.wav", "--rate", "-44100" }, OptionError::badRate },
        { { "in.wav", "out.wav", "--rate", "7999" }, OptionError::badRate },
        { { "in.wav", "out.wav", "--rate", "384001" }, OptionError::badRate },
    };

    for (const auto& testCase : cases)
    {
        const auto parsed = parse (testCase.arguments);
        const auto commandLine = juce::StringArray (testCase.arguments.begin(), (int)testCase.arguments.size())
                                     .joinIntoString (" ");

        EXPECT_EQ (parsed.error, testCase.expected) << commandLine << " gave: " << parsed.message;
        EXPECT_TRUE (parsed.message.isNotEmpty()) << commandLine;
        EXPECT_FALSE (parsed.message.containsAnyOf ("\r\n")) << commandLine;
    }
}
