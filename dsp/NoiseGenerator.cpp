// Tape hiss: the filter chain below gives white noise the spectrum of a
// cassette's hiss (a low bump, a dip through the mids and a darkened top).
#include "NoiseGenerator.h"

namespace
{
enum class Design
{
    highPass,
    peak,
    highShelf
};

struct HissFilter
{
    Design design;
    double frequency;
    double q;
    double gainDb;
};

// In processing order.
constexpr HissFilter hissFilters[] {
    { Design::highPass, 30.0, 1.0 / juce::MathConstants<double>::sqrt2, 0.0 },
    { Design::peak, 300.0, 3.2, 6.78 },
    { Design::peak, 5260.0, 0.87, -0.92 },
    { Design::peak, 1840.0, 0.08, -10.8 },
    { Design::highShelf, 4970.0, 0.1, -18.52 },
    { Design::highShelf, 9000.0, 0.1, -5.0 },
};

// A biquad designed at or above Nyquist has poles outside the unit circle, so at
// unusually low host rates the upper corners are pulled just below it.
constexpr double highestDesignFraction = 0.45;

juce::IIRCoefficients makeCoefficients (const HissFilter& filter, double sampleRate)
{
    const auto frequency = juce::jmin (filter.frequency, sampleRate * highestDesignFraction);
    const auto gain = (float) juce::Decibels::decibelsToGain (filter.gainDb);

    switch (filter.design)
    {
        case Design::highPass:
            return juce::IIRCoefficients::makeHighPass (sampleRate, frequency, filter.q);
        case Design::peak:
            return juce::IIRCoefficients::makePeakFilter (sampleRate, frequency, filter.q, gain);
        case Design::highShelf:
            return juce::IIRCoefficients::makeHighShelf (sampleRate, frequency, filter.q, gain);
    }

    return {};
}
} // namespace

NoiseGenerator::NoiseGenerator (double sampleRate)
{
    static_assert (std::size (hissFilters) == std::tuple_size_v<decltype (filters)>, "one design per filter");

    for (size_t i = 0; i < filters.size(); ++i)
        filters[i].setCoefficients (makeCoefficients (hissFilters[i], sampleRate));
}

void NoiseGenerator::processBuffer (float* samples, int numSamples)
{
    if (numSamples <= 0)
        return;

    for (int i = 0; i < numSamples; ++i)
        samples[i] = random.nextFloat() - 0.5f;

    // Each filter keeps its state, so the hiss runs on seamlessly across blocks.
    for (auto& filter : filters)
        filter.processSamples (samples, numSamples);
}
