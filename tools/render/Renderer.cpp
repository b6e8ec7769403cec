// The render itself: open and check the input, set the processor up as a
// host would, stream host-sized blocks through it, and publish the output
// with one rename so a failed run never leaves a truncated file.
#include "Renderer.h"

#include "PluginProcessor.h"
#include "PresetCatalogue.h"
#include "ProcessorSetup.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <algorithm>
#include <filesystem>

namespace marrowtone::render
{
namespace
{
constexpr int outputBitDepth = 24;

juce::File resolvePath (const juce::String& path)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (path);
}

std::filesystem::path toPath (const juce::File& file)
{
    return std::filesystem::path (file.getFullPathName().toStdString());
}

// Also catches symbolic links, hard links and other spellings of the same
// file, which comparing path strings would miss.
bool isSameFile (const juce::File& a, const juce::File& b)
{
    std::error_code error;
    return std::filesystem::equivalent (toPath (a), toPath (b), error);
}

juce::String quoted (const juce::File& file)
{
    return "'" + file.getFullPathName() + "'";
}

juce::Result streamThroughProcessor (TapeAudioProcessor& processor, juce::AudioFormatReader& reader,
                                     juce::AudioFormatWriter& writer, int blockSize,
                                     const ProgressCallback& onProgress)
{
    const auto numChannels = (int)reader.numChannels;
    const auto totalSamples = reader.lengthInSamples;
    juce::AudioBuffer<float> buffer (numChannels, blockSize);
    juce::MidiBuffer midi;

    for (juce::int64 position = 0; position < totalSamples; position += blockSize)
    {
        const auto numSamples = (int)std::min<juce::int64> (blockSize, totalSamples - position);

        // The last block is shorter, as a host's last block at the end of a
        // range would be; the view keeps the buffer from being reallocated.
        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), numChannels, numSamples);

        if (!reader.read (&block, 0, numSamples, position, true, true))
            return juce::Result::fail ("cannot read the input at sample " + juce::String (position));

        processor.processBlock (block, midi);

        if (!writer.writeFromAudioSampleBuffer (block, 0, numSamples))
            return juce::Result::fail ("cannot write the output");

        if (onProgress)
            onProgress (position + numSamples, totalSamples, reader.sampleRate);
    }

    return juce::Result::ok();
}
} // namespace

juce::Result renderFile (const RenderOptions& options, const ProgressCallback& onProgress)
{
    const auto input = resolvePath (options.inputPath);
    const auto output = resolvePath (options.outputPath);

    if (!input.existsAsFile())
        return juce::Result::fail ("cannot find the input file " + quoted (input));

    if (isSameFile (input, output))
        return juce::Result::fail ("refusing to overwrite the input file " + quoted (input));

    if (options.presetName.isNotEmpty() && !availablePresetNames().contains (options.presetName, false))
        return juce::Result::fail ("unknown preset '" + options.presetName + "' (see --list-presets)");

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (input));

    if (reader == nullptr)
        return juce::Result::fail ("cannot read " + quoted (input) + " as WAV, AIFF or FLAC audio");

    if (reader->numChannels != 1 && reader->numChannels != 2)
        return juce::Result::fail (quoted (input) + " has " + juce::String (reader->numChannels)
                                   + " channels; only mono and stereo files can be rendered");

    TapeAudioProcessor processor;
    const auto configured = setUpProcessor (processor, options, (int)reader->numChannels,
                                            options.processorRate.value_or (reader->sampleRate));
    if (configured.failed())
        return configured;

    // Hidden and beside the output, so the final rename stays on one file
    // system and replaces an older output in one step.
    juce::TemporaryFile temporary (output, juce::TemporaryFile::useHiddenFile);
    auto stream = temporary.getFile().createOutputStream();

    if (stream == nullptr)
        return juce::Result::fail ("cannot write to " + quoted (output));

    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer (
        wav.createWriterFor (stream.get(), reader->sampleRate, reader->numChannels, outputBitDepth, {}, 0));

    if (writer == nullptr)
        return juce::Result::fail ("cannot write a 24-bit WAV to " + quoted (output));

    stream.release(); // the writer owns it now

    const auto rendered = streamThroughProcessor (processor, *reader, *writer, options.blockSize, onProgress);
    if (rendered.failed())
        return rendered;

    writer.reset(); // completes the WAV header before the file is published

    std::error_code error;
    std::filesystem::rename (toPath (temporary.getFile()), toPath (output), error);

    if (error)
        return juce::Result::fail ("cannot write " + quoted (output) + ": " + juce::String (error.message()));

    return juce::Result::ok();
}
} // namespace marrowtone::render
