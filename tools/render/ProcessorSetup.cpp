// Everything the renderer does to the processor before the first block goes
// through the same entry points a host uses.
#include "ProcessorSetup.h"

#include "ParameterTable.h"
#include "PluginProcessor.h"

namespace marrowtone::render
{
juce::Result setUpProcessor (TapeAudioProcessor& processor, const RenderOptions& options,
                             int numChannels, double sampleRate)
{
    const auto channelSet = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (channelSet);
    layout.outputBuses.add (channelSet);

    if (!processor.setBusesLayout (layout))
        return juce::Result::fail ("the processor refused a " + channelSet.getDescription() + " layout");

    if (options.presetName.isNotEmpty())
        processor.loadPreset (options.presetName);

    // Through the host-facing parameter, so the value is snapped and
    // published exactly as host automation would be.
    for (const auto& setting : options.settings)
    {
        auto* parameter = processor.parameters.getParameter (parameterTable[(size_t)setting.index].id);
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (setting.value));
    }

    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (sampleRate, options.blockSize);
    processor.prepareToPlay (sampleRate, options.blockSize);
    return juce::Result::ok();
}
} // namespace marrowtone::render
