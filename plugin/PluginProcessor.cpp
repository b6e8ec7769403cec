// The processor: parameters, identity towards the host, the render path
// (drive, oversampled saturation, level-dependent low-pass, wow and flutter,
// hiss) and the project state.
#include "PluginProcessor.h"

#include "NoiseGenerator.h"
#include "ParameterTable.h"
#include "PluginEditor.h"
#include "PresetLibrary.h"
#include "ProjectState.h"
#include "SaturationCurve.h"
#include "WahFlutter.h"

namespace
{
juce::AudioProcessorValueTreeState::ParameterLayout createParameterLayout()
{
    juce::AudioProcessorValueTreeState::ParameterLayout layout;

    for (const auto& definition : marrowtone::parameterTable)
    {
        if (definition.isInteger)
            layout.add (std::make_unique<juce::AudioParameterInt> (definition.id, definition.name,
                                                                   (int) definition.minimum, (int) definition.maximum,
                                                                   (int) definition.defaultValue));
        else
            layout.add (std::make_unique<juce::AudioParameterFloat> (definition.id, definition.name,
                                                                     definition.minimum, definition.maximum,
                                                                     definition.defaultValue));
    }

    return layout;
}

// The two wow/flutter delay lines are each centred on 6 ms.
constexpr double latencyMilliseconds = 12.0;
constexpr int oversamplingFactorLog2 = 2;

// Below 44.1 kHz the top of the cutoff range no longer fits under Nyquist.
// Held just under Nyquist, the state-variable filter's states go almost
// undamped and integrate the input, and the next loud block (which lowers the
// cutoff) releases that as a spike; small host blocks at low rates made
// spikes of +20 dB. There the cutoff is held at 0.45 of the rate instead, which
// keeps the filter damped; 44.1 kHz and above are unaffected.
constexpr double lowRateCutoffFraction = 0.45;
constexpr double lowestRateWithFullRange = 44100.0;
constexpr int maxChannels = 2;
} // namespace

TapeAudioProcessor::TapeAudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true)),
      parameters (*this, nullptr, marrowtone::stateTreeType, createParameterLayout())
{
    using marrowtone::parameterTable;
    saturationParameter = parameters.getRawParameterValue (parameterTable[marrowtone::saturationIndex].id);
    lowPassParameter = parameters.getRawParameterValue (parameterTable[marrowtone::lowPassIndex].id);
    noiseParameter = parameters.getRawParameterValue (parameterTable[marrowtone::noiseIndex].id);
    wowParameter = parameters.getRawParameterValue (parameterTable[marrowtone::wowIndex].id);
    flutterParameter = parameters.getRawParameterValue (parameterTable[marrowtone::flutterIndex].id);
    lowPassFilter.state->type = LowPassParameters::Type::lowPass;
    currentPreset = "Default";
    previousSaturationGain = 0.0f;
}

TapeAudioProcessor::~TapeAudioProcessor() = default;

const juce::String TapeAudioProcessor::getName() const { return "Marrowtone"; }

void TapeAudioProcessor::prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock)
{
    const auto maxBlock = juce::jmax (1, maximumExpectedSamplesPerBlock);
    preparedBlockSize = maxBlock;
    preparedChannels = juce::jmin (getMainBusNumOutputChannels(), maxChannels);

    lowPassFilter.reset();
    lowPassFilter.prepare ({ newSampleRate, (juce::uint32) maxBlock, (juce::uint32) preparedChannels });
    lowPassFilter.state->type = LowPassParameters::Type::lowPass;

    oversampling = std::make_unique<juce::dsp::Oversampling<float>> (
        (size_t) maxChannels, (size_t) oversamplingFactorLog2,
        juce::dsp::Oversampling<float>::filterHalfBandPolyphaseIIR, false);

    for (auto& generator : noiseGenerators)
        generator = std::make_unique<NoiseGenerator> (newSampleRate);
    for (auto& modulator : wahFlutters)
        modulator = std::make_unique<WahFlutter> (newSampleRate);

    oversampling->initProcessing ((size_t) maxBlock);
    oversampling->reset();

    sampleRate = newSampleRate;
    setLatencySamples ((int) (newSampleRate / 1000.0 * latencyMilliseconds));

    noiseBuffer.setSize (maxChannels, maxBlock);
    noiseBuffer.clear();
}

void TapeAudioProcessor::releaseResources() {}

void TapeAudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    juce::ScopedNoDenormals noDenormals;

    // A host that renders before preparing gets silence, not a crash.
    if (preparedBlockSize == 0)
    {
        buffer.clear();
        return;
    }

    for (auto channel = getTotalNumInputChannels(); channel < getTotalNumOutputChannels(); ++channel)
        buffer.clear (channel, 0, buffer.getNumSamples());

    // Hosts should never send more than was prepared; if one does, the block is
    // rendered in prepared-size pieces, and only the channels that have
    // prepared state are processed.
    const auto channels = juce::jmin (buffer.getNumChannels(), preparedChannels);
    auto* const* channelPointers = buffer.getArrayOfWritePointers();
    auto remaining = buffer.getNumSamples();
    auto offset = 0;

    do
    {
        const auto chunk = juce::jmin (remaining, preparedBlockSize);
        juce::AudioBuffer<float> view (const_cast<float**> (channelPointers), channels, offset, chunk);
        processChunk (view);
        offset += chunk;
        remaining -= chunk;
    } while (remaining > 0);
}

void TapeAudioProcessor::processChunk (juce::AudioBuffer<float>& buffer)
{
    const auto numChannels = buffer.getNumChannels();
    const auto numSamples = buffer.getNumSamples();

    // Drive, ramped from the previous block's gain so automation never clicks.
    const auto saturationGain = juce::Decibels::decibelsToGain (saturationParameter->load());
    if (numChannels > 0)
        buffer.applyGainRamp (0, numSamples, previousSaturationGain, saturationGain);
    previousSaturationGain = saturationGain;

    // Saturation, four times oversampled to keep its harmonics from aliasing.
    juce::dsp::AudioBlock<float> block (buffer);
    auto upsampled = oversampling->processSamplesUp (block);
    for (size_t channel = 0; channel < upsampled.getNumChannels(); ++channel)
    {
        auto* samples = upsampled.getChannelPointer (channel);
        for (size_t i = 0; i < upsampled.getNumSamples(); ++i)
            samples[i] = marrowtone::saturate (samples[i]);
    }
    oversampling->processSamplesDown (block);

    // Tape bandwidth closes as the signal gets louder.
    auto levelSum = 0.0f;
    for (int channel = 0; channel < numChannels; ++channel)
        levelSum += buffer.getRMSLevel (channel, 0, numSamples);
    const auto level = numChannels > 0 ? levelSum / (float) numChannels : 0.0f;
    const auto lowPass = lowPassParameter->load();
    auto cutoff = lowPass - lowPass * level;
    const auto highestCutoff = sampleRate >= lowestRateWithFullRange ? sampleRate * 0.5 - 1.0
                                                                     : sampleRate * lowRateCutoffFraction;
    if ((double) cutoff > highestCutoff)
        cutoff = (float) highestCutoff;
    else if (cutoff <= 1.0f)
        cutoff = 1.0f;
    lowPassFilter.state->setCutOffFrequency (sampleRate, cutoff);
    lowPassFilter.process (juce::dsp::ProcessContextReplacing<float> (block));

    // Wow and flutter.
    const auto wow = wowParameter->load();
    const auto flutter = flutterParameter->load();
    for (int channel = 0; channel < juce::jmin (numChannels, 2); ++channel)
        wahFlutters[(size_t) channel]->processSamples (buffer.getWritePointer (channel), numSamples, wow, flutter);

    // Hiss, added last so it is neither saturated, filtered nor modulated.
    for (int channel = 0; channel < juce::jmin (numChannels, 2); ++channel)
        noiseGenerators[(size_t) channel]->processBuffer (noiseBuffer.getWritePointer (channel), numSamples);
    noiseBuffer.applyGain (juce::Decibels::decibelsToGain (noiseParameter->load()));
    for (int channel = 0; channel < juce::jmin (numChannels, 2); ++channel)
        buffer.addFrom (channel, 0, noiseBuffer, channel, 0, numSamples);
}

double TapeAudioProcessor::getTailLengthSeconds() const { return 0.0; }
bool TapeAudioProcessor::acceptsMidi() const { return false; }
bool TapeAudioProcessor::producesMidi() const { return false; }
bool TapeAudioProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* TapeAudioProcessor::createEditor()
{
    return new TapeAudioProcessorEditor (*this, parameters);
}

bool TapeAudioProcessor::hasEditor() const { return true; }

int TapeAudioProcessor::getNumPrograms() { return 1; }
int TapeAudioProcessor::getCurrentProgram() { return 0; }
void TapeAudioProcessor::setCurrentProgram (int) {}
const juce::String TapeAudioProcessor::getProgramName (int) { return {}; }
void TapeAudioProcessor::changeProgramName (int, const juce::String&) {}

void TapeAudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    marrowtone::writeProjectState (parameters, getCurrentPreset(), destData);
}

void TapeAudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    if (const auto presetName = marrowtone::readProjectState (parameters, data, sizeInBytes))
        setCurrentPreset (*presetName);
}

bool TapeAudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto output = layouts.getMainOutputChannelSet();
    if (output != juce::AudioChannelSet::mono() && output != juce::AudioChannelSet::stereo())
        return false;
    return layouts.getMainInputChannelSet() == output;
}

void TapeAudioProcessor::loadPreset (juce::String presetName)
{
    marrowtone::loadPreset (parameters, presetName);
}

juce::String TapeAudioProcessor::getCurrentPreset() const
{
    const std::lock_guard<std::mutex> lock (currentPresetLock);
    return currentPreset;
}

void TapeAudioProcessor::setCurrentPreset (const juce::String& name)
{
    const std::lock_guard<std::mutex> lock (currentPresetLock);
    currentPreset = name;
}
