// Times Marrowtone against a peer, Calf Tape Simulator, the way a DAW would
// run them: both LV2 bundles are loaded through JUCE's LV2 hosting into this
// one process and fed the same minute of generated stereo music at 48 kHz,
// block by block, at three host block sizes. Runs of the two alternate so that
// a change in machine load hits both alike; each figure is the median of the
// runs, in CPU seconds per minute of audio.
#include "CpuClock.h"
#include "DemoMusic.h"

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_events/juce_events.h>

#include <iostream>

namespace
{
constexpr double rate = 48000.0;
constexpr int blockSizes[] { 64, 512, 2048 };

struct Options
{
    double seconds = 60.0;
    int runs = 5;
    juce::String marrowtoneFolder = MARROWTONE_LV2_FOLDER;
    juce::String calfFolder; // JUCE already scans the system's LV2 folders, where Debian puts Calf
};

struct Contender
{
    juce::String name, uri;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::vector<double> cpuSeconds;
};

std::unique_ptr<juce::AudioPluginInstance> loadLv2 (juce::LV2PluginFormat& format, const Contender& contender,
                                                    int blockSize)
{
    juce::OwnedArray<juce::PluginDescription> types;
    format.findAllTypesForFile (types, contender.uri);
    if (types.size() != 1)
        return {};

    juce::String error;
    auto instance = format.createInstanceFromDescription (*types[0], rate, blockSize, error);
    if (instance != nullptr)
    {
        instance->enableAllBuses();
        instance->prepareToPlay (rate, blockSize);
    }
    return instance;
}

// Processes the whole of work in place, block by block, and returns the CPU
// time it took. The copy from the untouched material is made before the clock
// starts, so only the plug-in's own work is measured.
double timeOneRun (juce::AudioPluginInstance& plugin, const juce::AudioBuffer<float>& material,
                   juce::AudioBuffer<float>& work, int blockSize)
{
    work.makeCopyOf (material, true);
    juce::MidiBuffer midi;
    auto* const* channels = work.getArrayOfWritePointers();

    const auto start = marrowtone::benchmark::threadCpuSeconds();
    for (int offset = 0; offset < work.getNumSamples(); offset += blockSize)
    {
        juce::AudioBuffer<float> block (channels, work.getNumChannels(), offset,
                                        juce::jmin (blockSize, work.getNumSamples() - offset));
        plugin.processBlock (block, midi);
    }
    return marrowtone::benchmark::threadCpuSeconds() - start;
}

std::optional<Options> parseOptions (const juce::StringArray& arguments)
{
    Options options;
    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];
        const auto value = arguments[i + 1];
        if (argument == "--seconds" && value.getDoubleValue() > 0.0)
            options.seconds = value.getDoubleValue();
        else if (argument == "--runs" && value.getIntValue() > 0)
            options.runs = value.getIntValue();
        else if (argument == "--marrowtone-lv2" && value.isNotEmpty())
            options.marrowtoneFolder = value;
        else if (argument == "--calf-lv2" && value.isNotEmpty())
            options.calfFolder = value;
        else
            return {};
        ++i;
    }
    return options;
}

void printRow (int blockSize, double marrowtonePerMinute, double calfPerMinute)
{
    std::cout << juce::String (blockSize).paddedLeft (' ', 6)
              << juce::String (marrowtonePerMinute, 3).paddedLeft (' ', 16)
              << juce::String (juce::roundToInt (60.0 / marrowtonePerMinute)).paddedLeft (' ', 9)
              << juce::String (calfPerMinute, 3).paddedLeft (' ', 16)
              << juce::String (juce::roundToInt (60.0 / calfPerMinute)).paddedLeft (' ', 9)
              << juce::String (calfPerMinute / marrowtonePerMinute, 2).paddedLeft (' ', 13) << "\n";
}
} // namespace

int main (int argc, char** argv)
{
    // JUCE's LV2 hosting always scans ~/.lv2, where tools/build-and-demo.sh
    // installs a copy of Marrowtone that may be older than this build; lilv
    // would then keep whichever bundle it met first. An empty home hides it.
    const juce::TemporaryFile emptyHome;
    emptyHome.getFile().createDirectory();
    setenv ("HOME", emptyHome.getFile().getFullPathName().toRawUTF8(), 1);

    juce::ScopedJuceInitialiser_GUI juce;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (argv[i]);

    const auto options = parseOptions (arguments);
    if (!options)
    {
        std::cerr << "usage: marrowtone-compare [--seconds S] [--runs N] [--marrowtone-lv2 DIR] [--calf-lv2 DIR]\n";
        return 2;
    }

    const auto material = marrowtone::demo::composeDemoMusic (options->seconds, rate);
    juce::AudioBuffer<float> work (material.getNumChannels(), material.getNumSamples());
    const auto minutes = options->seconds / 60.0;

    std::cout << "CPU seconds per minute of stereo 48 kHz audio (median of " << options->runs
              << " runs), real-time factor (x), both hosted as LV2 through JUCE\n\n"
              << " block  Marrowtone s/min  Marr. x      Calf s/min  Calf x  Calf/Marr.\n";

    juce::LV2PluginFormat format;
    format.searchPathsForPlugins (juce::FileSearchPath (options->marrowtoneFolder), true, false);
    if (options->calfFolder.isNotEmpty())
        format.searchPathsForPlugins (juce::FileSearchPath (options->calfFolder), true, false);

    for (const auto blockSize : blockSizes)
    {
        Contender contenders[] {
            { "Marrowtone", MARROWTONE_LV2_URI, {}, {} },
            { "Calf Tape Simulator", "http://calf.sourceforge.net/plugins/TapeSimulator", {}, {} },
        };

        for (auto& contender : contenders)
        {
            contender.instance = loadLv2 (format, contender, blockSize);
            if (contender.instance == nullptr)
            {
                std::cerr << "could not load " << contender.name << " (" << contender.uri << ")\n";
                return 1;
            }
        }

        // One run each to warm caches and let the plug-ins settle, then the timed runs, interleaved.
        for (auto& contender : contenders)
            timeOneRun (*contender.instance, material, work, blockSize);

        for (int run = 0; run < options->runs; ++run)
            for (auto& contender : contenders)
                contender.cpuSeconds.push_back (timeOneRun (*contender.instance, material, work, blockSize) / minutes);

        printRow (blockSize,
                  marrowtone::benchmark::median (contenders[0].cpuSeconds),
                  marrowtone::benchmark::median (contenders[1].cpuSeconds));

        for (auto& contender : contenders)
            contender.instance->releaseResources();
    }

    return 0;
}
