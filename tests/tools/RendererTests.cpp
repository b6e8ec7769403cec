// Proves the renderer hands the processor exactly what a host would: the
// file's layout, the preset then the --set values, the chosen rate and block
// size, and that what it writes is what the processor made of those blocks.
#include "ProcessorHarness.h"
#include "ProcessorSetup.h"
#include "Renderer.h"

#include "ParameterTable.h"
#include "PresetLibrary.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace marrowtone::render;

namespace
{
class RenderFolder
{
public:
    RenderFolder() { folder.createDirectory(); }
    ~RenderFolder() { folder.deleteRecursively(); }

    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    void writeWav (const juce::String& name, const juce::AudioBuffer<float>& audio, double sampleRate) const
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatWriter> writer (wav.createWriterFor (
            file (name).createOutputStream().release(), sampleRate, (unsigned int)audio.getNumChannels(), 32, {}, 0));
        ASSERT_NE (writer, nullptr);
        writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples());
    }

    juce::AudioBuffer<float> readWav (const juce::String& name, double& sampleRate, int& bitDepth) const
    {
        juce::WavAudioFormat wav;
        std::unique_ptr<juce::AudioFormatReader> reader (wav.createReaderFor (file (name).createInputStream().release(), true));
        if (reader == nullptr)
            return {};

        sampleRate = reader->sampleRate;
        bitDepth = (int)reader->bitsPerSample;
        juce::AudioBuffer<float> audio ((int)reader->numChannels, (int)reader->lengthInSamples);
        reader->read (&audio, 0, audio.getNumSamples(), 0, true, true);
        return audio;
    }

    juce::StringArray fileNames() const
    {
        juce::StringArray names;
        for (const auto& entry : folder.findChildFiles (juce::File::findFiles, false, "*"))
            names.add (entry.getFileName());
        names.sort (false);
        return names;
    }

private:
    juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("render-test", "");
};

// The hiss is seeded per instance, so two processors only agree up to it;
// turned down to -80 dB it stays far below the differences a wrong block size,
// layout or parameter makes.
constexpr float quietNoise = -80.0f;
constexpr float hissTolerance = 2.0e-4f;

RenderOptions optionsFor (const RenderFolder& folder, int blockSize)
{
    RenderOptions options;
    options.inputPath = folder.file ("in.wav").getFullPathName();
    options.outputPath = folder.file ("out.wav").getFullPathName();
    options.blockSize = blockSize;
    options.settings = { { marrowtone::noiseIndex, quietNoise },
                         { marrowtone::saturationIndex, 12.0f },
                         { marrowtone::lowPassIndex, 9000.0f } };
    return options;
}

// What a host feeding the same blocks to a fresh processor hears.
juce::AudioBuffer<float> processDirectly (juce::AudioBuffer<float> audio, double sampleRate, int blockSize)
{
    TapeAudioProcessor processor;
    const auto set = audio.getNumChannels() == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    processor.setBusesLayout ({ { set }, { set } });
    setParameter (processor, "noise", quietNoise);
    setParameter (processor, "saturation", 12.0f);
    setParameter (processor, "lowPass", 9000.0f);
    processor.prepareToPlay (sampleRate, blockSize);

    for (int start = 0; start < audio.getNumSamples(); start += blockSize)
    {
        const auto length = juce::jmin (blockSize, audio.getNumSamples() - start);
        juce::AudioBuffer<float> block (audio.getArrayOfWritePointers(), audio.getNumChannels(), start, length);
        process (processor, block);
    }

    return audio;
}
} // namespace

TEST (Renderer, WritesWhatTheProcessorMakesOfHostSizedBlocks)
{
    struct Case
    {
        int channels;
        int samples;
        int blockSize;
    };

    // Lengths that are not whole blocks, and a block longer than the file.
    for (const auto& testCase : { Case { 1, 22050 + 37, 100 }, Case { 2, 30000, 512 }, Case { 2, 3000, 8192 } })
    {
        SCOPED_TRACE (juce::String (testCase.channels) + " channels, block " + juce::String (testCase.blockSize));
        constexpr double sampleRate = 44100.0;
        RenderFolder folder;
        const auto input = makeSine (testCase.channels, testCase.samples, sampleRate, 441.0, 0.5f);
        folder.writeWav ("in.wav", input, sampleRate);

        const auto result = renderFile (optionsFor (folder, testCase.blockSize));
        ASSERT_TRUE (result.wasOk()) << result.getErrorMessage();

        double writtenRate = 0.0;
        int bitDepth = 0;
        const auto written = folder.readWav ("out.wav", writtenRate, bitDepth);
        const auto expected = processDirectly (input, sampleRate, testCase.blockSize);

        EXPECT_EQ (writtenRate, sampleRate);
        EXPECT_EQ (bitDepth, 24);
        ASSERT_EQ (written.getNumChannels(), testCase.channels);
        ASSERT_EQ (written.getNumSamples(), testCase.samples);

        float largestDifference = 0.0f;
        for (int channel = 0; channel < testCase.channels; ++channel)
            for (int i = 0; i < testCase.samples; ++i)
                largestDifference = juce::jmax (largestDifference,
                                                std::abs (written.getSample (channel, i) - expected.getSample (channel, i)));

        EXPECT_LT (largestDifference, hissTolerance);
        EXPECT_GT (written.getMagnitude (0, testCase.samples), 0.1f);
        EXPECT_EQ (folder.fileNames(), juce::StringArray ("in.wav", "out.wav"));
    }
}

TEST (Renderer, KeepsTheProcessorLatencyInTheOutput)
{
    // An impulse comes out 12 ms late: a host without delay compensation
    // hears it there, so the renderer must not shift it back.
    constexpr double sampleRate = 48000.0;
    RenderFolder folder;
    juce::AudioBuffer<float> impulse (1, 4800);
    impulse.clear();
    impulse.setSample (0, 1000, 1.0f);
    folder.writeWav ("in.wav", impulse, sampleRate);

    auto options = optionsFor (folder, 256);
    options.settings = { { marrowtone::noiseIndex, quietNoise },
                         { marrowtone::wowIndex, 0.0f },
                         { marrowtone::flutterIndex, 0.0f } };
    ASSERT_TRUE (renderFile (options).wasOk());

    double writtenRate = 0.0;
    int bitDepth = 0;
    const auto written = folder.readWav ("out.wav", writtenRate, bitDepth);
    ASSERT_EQ (written.getNumSamples(), impulse.getNumSamples());

    const auto* samples = written.getReadPointer (0);
    const auto peak = std::max_element (samples, samples + written.getNumSamples(),
                                        [] (float a, float b)
                                        { return std::abs (a) < std::abs (b); });
    const auto delay = (int)(peak - samples) - 1000;
    // The filters smear the impulse by a few samples; compensating the
    // latency would move it by hundreds.
    EXPECT_NEAR (delay, (int)(sampleRate * 0.012), 16);
}

TEST (Renderer, FailureLeavesAnExistingOutputUntouched)
{
    RenderFolder folder;
    folder.file ("in.wav").replaceWithText ("not audio at all");
    folder.file ("out.wav").replaceWithText ("an older render");

    const auto result = renderFile (optionsFor (folder, 512));

    EXPECT_TRUE (result.failed());
    EXPECT_EQ (folder.file ("out.wav").loadFileAsString(), "an older render");
    EXPECT_EQ (folder.fileNames().size(), 2);
}

TEST (ProcessorSetup, LayoutFollowsTheFileAndPreparesAtTheChosenRateAndBlock)
{
    for (const auto channels : { 1, 2 })
    {
        TapeAudioProcessor processor;
        RenderOptions options;
        options.blockSize = 333;

        ASSERT_TRUE (setUpProcessor (processor, options, channels, 96000.0).wasOk());

        EXPECT_EQ (processor.getTotalNumInputChannels(), channels);
        EXPECT_EQ (processor.getTotalNumOutputChannels(), channels);
        EXPECT_EQ (processor.getSampleRate(), 96000.0);
        EXPECT_EQ (processor.getBlockSize(), 333);
        EXPECT_TRUE (processor.isNonRealtime());
        EXPECT_EQ (processor.getLatencySamples(), (int)(96000.0 * 0.012));
    }
}

TEST (ProcessorSetup, SettingsOverrideThePresetTheyFollow)
{
    const auto options = [] (const marrowtone::FactoryPreset& preset)
    {
        RenderOptions result;
        result.presetName = preset.name;
        result.settings = { { marrowtone::wowIndex, 77.0f }, { marrowtone::lowPassIndex, 12345.6f } };
        return result;
    };

    // A preset that moves every parameter this test reads away from its
    // default, and has other values than the settings, so neither a skipped
    // preset nor settings applied before it can pass.
    const auto& presets = marrowtone::factoryPresets();
    const auto differs = [] (float value, marrowtone::ParameterIndex index)
    { return value != marrowtone::parameterTable[(size_t)index].defaultValue; };
    const auto preset = std::find_if (presets.begin(), presets.end(), [&] (const marrowtone::FactoryPreset& p)
                                      { return differs (p.saturation, marrowtone::saturationIndex) && differs (p.noise, marrowtone::noiseIndex)
                                            && differs (p.flutter, marrowtone::flutterIndex) && p.wow != 77.0f && p.lowPass != 12346.0f; });
    ASSERT_NE (preset, presets.end());

    TapeAudioProcessor processor;
    ASSERT_TRUE (setUpProcessor (processor, options (*preset), 2, 48000.0).wasOk());

    EXPECT_FLOAT_EQ (parameterValue (processor, "wow"), 77.0f);
    EXPECT_FLOAT_EQ (parameterValue (processor, "lowPass"), 12346.0f); // snapped like host automation
    EXPECT_FLOAT_EQ (parameterValue (processor, "saturation"), preset->saturation);
    EXPECT_FLOAT_EQ (parameterValue (processor, "noise"), preset->noise);
    EXPECT_FLOAT_EQ (parameterValue (processor, "flutter"), preset->flutter);
}
