// The object the host creates: parameters, identity, the audio path and the
// project state. The signal blocks are built by prepareToPlay only.
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_dsp/juce_dsp.h>

#include <array>
#include <memory>
#include <mutex>

class NoiseGenerator;
class WahFlutter;

class TapeAudioProcessor : public juce::AudioProcessor
{
public:
    TapeAudioProcessor();
    ~TapeAudioProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double sampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override;
    using juce::AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    // Sets every parameter from the factory preset or user preset file of that
    // name; unknown or unreadable names change nothing.
    void loadPreset (juce::String presetName);

    // The name of the current preset. Hosts may save the project state off the
    // message thread while the preset menu renames it, hence the lock.
    juce::String getCurrentPreset() const;
    void setCurrentPreset (const juce::String& name);

    juce::AudioProcessorValueTreeState parameters;

private:
    void processChunk (juce::AudioBuffer<float>& buffer);

    mutable std::mutex currentPresetLock;
    juce::String currentPreset;

    std::unique_ptr<juce::dsp::Oversampling<float>> oversampling;
    std::array<std::unique_ptr<NoiseGenerator>, 2> noiseGenerators;
    std::array<std::unique_ptr<WahFlutter>, 2> wahFlutters;
    // The state-variable filter is deprecated in JUCE 7 but is exactly the
    // 12 dB/oct, resonance-1/sqrt(2) low-pass the tape stage is voiced on.
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    using LowPass = juce::dsp::StateVariableFilter::Filter<float>;
    using LowPassParameters = juce::dsp::StateVariableFilter::Parameters<float>;
    juce::dsp::ProcessorDuplicator<LowPass, LowPassParameters> lowPassFilter;
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    std::atomic<float>* saturationParameter = nullptr;
    std::atomic<float>* noiseParameter = nullptr;
    std::atomic<float>* lowPassParameter = nullptr;
    std::atomic<float>* wowParameter = nullptr;
    std::atomic<float>* flutterParameter = nullptr;

    float previousSaturationGain = 0.0f;
    double sampleRate = 44100.0;
    int preparedBlockSize = 0;
    int preparedChannels = 0;
    juce::AudioBuffer<float> noiseBuffer;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TapeAudioProcessor)
};
