// Draws what Marrowtone does, measured from its own code rather than drawn
// from formulas: the saturation curve, the low-pass cutoff the processor
// settles on at each signal level, the delay the wow and flutter modulator
// applies over time, and the spectrum of the tape hiss.
// Usage: marrowtone-plots OUTDIR
#include "NoiseGenerator.h"
#include "ParameterTable.h"
#include "Plot.h"
#include "PluginProcessor.h"
#include "SaturationCurve.h"
#include "WahFlutter.h"

#include <juce_dsp/juce_dsp.h>
#include <juce_events/juce_events.h>

#include <iostream>

namespace
{
using namespace marrowtone::plots;

constexpr double rate = 48000.0;
const auto blue = juce::Colour (0xff2a5d8f);
const auto orange = juce::Colour (0xffe2883a);
const auto faint = juce::Colour (0x80222222);

std::vector<double> steps (double from, double to, double step)
{
    std::vector<double> values;
    for (auto value = from; value <= to + step * 1.0e-6; value += step)
        values.push_back (value);
    return values;
}

Chart saturationChart()
{
    Series curve { "Marrowtone", {}, blue }, tanh { "tanh, for comparison", {}, faint };
    for (auto x = -8.0; x <= 8.0; x += 0.01)
    {
        curve.points.push_back ({ x, (double) marrowtone::saturate ((float) x) });
        tanh.points.push_back ({ x, std::tanh (x) });
    }
    return { "Saturation curve (after the drive gain, at 4x the sample rate)",
             { "input", { -8.0, 8.0 }, steps (-8.0, 8.0, 2.0) },
             { "output", { -1.1, 1.1 }, steps (-1.0, 1.0, 0.5) },
             { curve, tanh },
             true };
}

// ---- Low-pass cutoff -------------------------------------------------------

void setPlainValue (TapeAudioProcessor& processor, marrowtone::ParameterIndex index, float value)
{
    auto* parameter = processor.parameters.getParameter (marrowtone::parameterTable[(size_t) index].id);
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
}

// Amplitude of the component at hz (a Hann-windowed single DFT bin).
double amplitudeAt (const float* samples, int length, double hz)
{
    const auto omega = juce::MathConstants<double>::twoPi * hz / rate;
    double re = 0.0, im = 0.0, windowSum = 0.0;
    for (int i = 0; i < length; ++i)
    {
        const auto window = 0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / (length - 1));
        re += window * samples[i] * std::cos (omega * i);
        im -= window * samples[i] * std::sin (omega * i);
        windowSum += window;
    }
    return 2.0 * std::sqrt (re * re + im * im) / windowSum;
}

struct Response
{
    double level;   // the signal's RMS level as the processor measures it
    double passing; // gain at probeHz relative to the gain at the reference probe
};

// Plays a 50 Hz tone of the given amplitude (which sets the level) through the
// processor with two faint probe tones, one far below any cutoff; blocks of
// one whole tone period keep every block's level the same. Wow and flutter
// are still and the hiss at its quietest, so only the tone stage shows.
Response measureResponse (float toneAmplitude, double probeHz)
{
    constexpr int block = 960, blocks = 40, settled = 15;
    constexpr double toneHz = 50.0, referenceHz = 105.0, probeAmplitude = 1.0e-3;

    TapeAudioProcessor processor;
    setPlainValue (processor, marrowtone::noiseIndex, marrowtone::parameterTable[marrowtone::noiseIndex].minimum);
    setPlainValue (processor, marrowtone::wowIndex, 0.0f);
    setPlainValue (processor, marrowtone::flutterIndex, 0.0f);
    processor.prepareToPlay (rate, block);

    juce::AudioBuffer<float> output (2, block * blocks);
    juce::MidiBuffer midi;
    for (int i = 0; i < output.getNumSamples(); ++i)
    {
        const auto t = i / rate;
        const auto value = toneAmplitude * std::sin (juce::MathConstants<double>::twoPi * toneHz * t)
            + probeAmplitude * std::sin (juce::MathConstants<double>::twoPi * referenceHz * t)
            + probeAmplitude * std::sin (juce::MathConstants<double>::twoPi * probeHz * t);
        for (int channel = 0; channel < 2; ++channel)
            output.setSample (channel, i, (float) value);
    }
    for (int start = 0; start < output.getNumSamples(); start += block)
    {
        juce::AudioBuffer<float> view (output.getArrayOfWritePointers(), 2, start, block);
        processor.processBlock (view, midi);
    }

    const auto* steady = output.getReadPointer (0, settled * block);
    const auto length = (blocks - settled) * block;
    return { (double) output.getRMSLevel (0, settled * block, length),
             amplitudeAt (steady, length, probeHz) / amplitudeAt (steady, length, referenceHz) };
}

// The -3 dB point of the processor's low-pass (a Butterworth response, so
// that is its cutoff) at one tone level, found by bisection in log frequency.
std::pair<double, double> measureCutoff (float toneAmplitude)
{
    auto low = 200.0, high = 23000.0;
    auto level = 0.0;
    for (int iteration = 0; iteration < 16; ++iteration)
    {
        const auto middle = std::sqrt (low * high);
        const auto response = measureResponse (toneAmplitude, middle);
        level = response.level;
        (response.passing > std::sqrt (0.5) ? low : high) = middle;
    }
    return { level, std::sqrt (low * high) };
}

Chart cutoffChart()
{
    Series measured { "measured -3 dB point of the processor", {}, blue, true };
    for (auto amplitude = 0.0f; amplitude <= 2.45f; amplitude += 0.15f)
    {
        const auto [level, cutoff] = measureCutoff (amplitude);
        measured.points.push_back ({ level, cutoff });
    }

    const auto lowPass = (double) marrowtone::parameterTable[marrowtone::lowPassIndex].defaultValue;
    Series expected { "Low Pass x (1 - level)", { { 0.0, lowPass }, { 1.0, 0.0 } }, faint };
    return { "Low-pass cutoff against signal level (Low Pass at 18000 Hz)",
             { "RMS level of the saturated signal (1 = full scale)", { 0.0, 1.0 }, steps (0.0, 1.0, 0.1) },
             { "cutoff (Hz)", { 0.0, 20000.0 }, steps (0.0, 20000.0, 2000.0) },
             { expected, measured } };
}

// ---- Wow and flutter -------------------------------------------------------

// Feeds a ramp (each sample its own index) through one modulator: the six-point
// interpolation reproduces a ramp exactly, so the output tells how far back
// each sample was read. A line returns a whole-number delay of D samples as the
// input of D - 1 calls earlier, hence the one sample per line added back.
Series modulatorDelay (float wow, float flutter, const juce::String& label, juce::Colour colour)
{
    const auto length = (int) rate;
    std::vector<float> ramp ((size_t) length);
    for (int n = 0; n < length; ++n)
        ramp[(size_t) n] = (float) n;

    WahFlutter modulator (rate);
    modulator.processSamples (ramp.data(), length, wow, flutter);

    Series series { label, {}, colour };
    const auto settled = (int) (0.02 * rate);
    for (int n = settled; n < length; n += 4)
        series.points.push_back ({ n / rate, ((double) n - (double) ramp[(size_t) n] + 2.0) / rate * 1000.0 });
    return series;
}

Chart wowChart()
{
    return { "Wow: delay of the modulator over time (Wow 100, Flutter 0)",
             { "time (s)", { 0.0, 1.0 }, steps (0.0, 1.0, 0.1) },
             { "delay (ms)", { 7.0, 17.0 }, steps (7.0, 17.0, 1.0) },
             { modulatorDelay (100.0f, 0.0f, "Wow 100", blue) } };
}

Chart flutterChart()
{
    return { "Flutter: delay of the modulator over time (Wow 0, Flutter 100)",
             { "time (s)", { 0.0, 0.3 }, steps (0.0, 0.3, 0.05) },
             { "delay (ms)", { 11.2, 12.8 }, steps (11.2, 12.8, 0.2) },
             { modulatorDelay (0.0f, 100.0f, "Flutter 100", orange) } };
}

// ---- Hiss ------------------------------------------------------------------

// Welch's average of Hann-windowed periodograms over twenty seconds of one
// generator's hiss, in dB relative to its loudest band.
Chart hissChart()
{
    constexpr int order = 13, size = 1 << order, segments = (int) (20.0 * rate) / size;
    NoiseGenerator generator (rate);
    juce::dsp::FFT fft (order);
    std::vector<double> power ((size_t) size / 2 + 1, 0.0);
    std::vector<float> samples ((size_t) size), transform ((size_t) size * 2);

    for (int segment = 0; segment < segments; ++segment)
    {
        generator.processBuffer (samples.data(), size);
        std::fill (transform.begin(), transform.end(), 0.0f);
        for (int i = 0; i < size; ++i)
            transform[(size_t) i] = samples[(size_t) i] * (float) (0.5 - 0.5 * std::cos (juce::MathConstants<double>::twoPi * i / size));
        fft.performFrequencyOnlyForwardTransform (transform.data());
        for (size_t bin = 0; bin < power.size(); ++bin)
            power[bin] += (double) transform[bin] * transform[bin];
    }

    const auto loudest = *std::max_element (power.begin() + 1, power.end());
    Series spectrum { "hiss", {}, blue };
    for (size_t bin = 1; bin < power.size(); ++bin)
        spectrum.points.push_back ({ bin * rate / size, 10.0 * std::log10 (power[bin] / loudest + 1.0e-12) });

    return { "Tape hiss spectrum (before the Noise level is applied)",
             { "frequency (Hz)", { 20.0, 24000.0 }, { 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000 }, true },
             { "level (dB, loudest band = 0)", { -40.0, 3.0 }, steps (-40.0, 0.0, 5.0) },
             { spectrum } };
}
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: marrowtone-plots OUTDIR\n";
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juce;
    const auto folder = juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]);
    if (!folder.createDirectory())
    {
        std::cerr << "cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    const std::pair<const char*, std::function<Chart()>> charts[] {
        { "saturation-curve.png", saturationChart },
        { "lowpass-cutoff.png", cutoffChart },
        { "wow-delay.png", wowChart },
        { "flutter-delay.png", flutterChart },
        { "hiss-spectrum.png", hissChart },
    };

    for (const auto& [name, make] : charts)
    {
        const auto file = folder.getChildFile (name);
        if (!writePng (drawChart (make()), file))
        {
            std::cerr << "cannot write " << file.getFullPathName() << "\n";
            return 1;
        }
        std::cout << file.getFullPathName() << "\n";
    }
    return 0;
}
