// marrowtone-demo-music: writes the demo piece as a 24-bit stereo WAV, the
// first step of trying the renderer without a recording of one's own.
#include "DemoMusic.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <filesystem>
#include <iostream>

namespace
{
constexpr double defaultSeconds = 8.0;
constexpr double longestSeconds = 600.0;

int fail (const juce::String& message)
{
    std::cerr << "marrowtone-demo-music: " << message << std::endl;
    return 1;
}

std::filesystem::path toPath (const juce::File& file)
{
    return std::filesystem::path (file.getFullPathName().toStdString());
}

// Written beside the target and renamed into place, so a failed run leaves
// no half-written file.
juce::Result writeWav (const juce::AudioBuffer<float>& music, double sampleRate, const juce::File& target)
{
    juce::TemporaryFile temporary (target, juce::TemporaryFile::useHiddenFile);
    auto stream = temporary.getFile().createOutputStream();
    if (stream == nullptr)
        return juce::Result::fail ("cannot write to '" + target.getFullPathName() + "'");

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), sampleRate, (unsigned int)music.getNumChannels(), 24, {}, 0));
    if (writer == nullptr)
        return juce::Result::fail ("cannot write a WAV to '" + target.getFullPathName() + "'");

    stream.release(); // the writer owns it now

    if (!writer->writeFromAudioSampleBuffer (music, 0, music.getNumSamples()))
        return juce::Result::fail ("cannot write '" + target.getFullPathName() + "'");

    writer.reset(); // completes the WAV header

    std::error_code error;
    std::filesystem::rename (toPath (temporary.getFile()), toPath (target), error);
    if (error)
        return juce::Result::fail ("cannot write '" + target.getFullPathName() + "': " + juce::String (error.message()));

    return juce::Result::ok();
}

// A finite number of seconds in (0, longestSeconds]; the whole text must be
// the number.
bool parseSeconds (const juce::String& text, double& seconds)
{
    const auto utf8 = text.toStdString();
    char* end = nullptr;
    seconds = std::strtod (utf8.c_str(), &end);
    return !utf8.empty() && end == utf8.c_str() + utf8.size() && seconds > 0.0 && seconds <= longestSeconds;
}
} // namespace

int main (int argc, char* argv[])
{
    juce::String outputPath;
    auto seconds = defaultSeconds;

    for (int i = 1; i < argc; ++i)
    {
        const auto argument = juce::String::fromUTF8 (argv[i]);

        if (argument == "--help" || argument == "-h")
        {
            std::cout << "Usage: marrowtone-demo-music OUT.wav [--seconds S]\n"
                         "Writes S seconds (default 8, at most 600) of stereo 48 kHz demo music as a\n"
                         "24-bit WAV: a I-V-vi-IV chord progression in C major with melody, bass and drums.\n"
                         "The same arguments always give the same file.\n";
            return 0;
        }

        if (argument == "--seconds")
        {
            if (i + 1 >= argc || !parseSeconds (juce::String::fromUTF8 (argv[++i]), seconds))
                return fail ("--seconds needs a number of seconds above 0 and at most " + juce::String ((int)longestSeconds));
        }
        else if (argument.startsWith ("-"))
        {
            return fail ("unknown option '" + argument + "' (see --help)");
        }
        else if (outputPath.isNotEmpty())
        {
            return fail ("unexpected extra argument '" + argument + "'");
        }
        else
        {
            outputPath = argument;
        }
    }

    if (outputPath.isEmpty())
        return fail ("needs an output file (see --help)");

    const auto music = marrowtone::demo::composeDemoMusic (seconds);
    const auto target = juce::File::getCurrentWorkingDirectory().getChildFile (outputPath);
    const auto written = writeWav (music, marrowtone::demo::demoSampleRate, target);

    return written.wasOk() ? 0 : fail (written.getErrorMessage());
}
