// The demo piece, synthesised note by note from a tiny score. Noise comes
// from a fixed-seed generator so every run writes the same samples.
#include "DemoMusic.h"

#include <array>
#include <cmath>

namespace marrowtone::demo
{
namespace
{
constexpr double twoPi = juce::MathConstants<double>::twoPi;
constexpr int beatsPerBar = 4;

struct Bar
{
    int bassNote; // MIDI note numbers throughout
    std::array<int, 3> chord;
    std::array<int, 4> melody; // one note a beat
};

constexpr std::array<Bar, 4> score { {
    { 36, { 60, 64, 67 }, { 76, 79, 84, 79 } }, // C
    { 43, { 59, 62, 67 }, { 74, 79, 83, 79 } }, // G
    { 45, { 57, 60, 64 }, { 72, 76, 81, 76 } }, // Am
    { 41, { 57, 60, 65 }, { 72, 77, 81, 77 } }, // F
} };

// Semitones above the bar's bass note, one per eighth note.
constexpr std::array<int, 8> bassPattern { 0, 0, 7, 0, 12, 0, 7, 0 };

double frequencyOf (int midiNote)
{
    return 440.0 * std::pow (2.0, (midiNote - 69) / 12.0);
}

double sine (double hz, double t)
{
    return std::sin (twoPi * hz * t);
}

// Adds voices to the mix with an equal-power pan and short fades at both
// ends, so a note cut at its length or at the end of the piece never clicks.
class Mixer
{
public:
    Mixer (juce::AudioBuffer<float>& destination, double rate) :
        buffer (destination), sampleRate (rate) { }

    template <typename Voice>
    void add (double startSeconds, double lengthSeconds, float level, float pan, Voice&& voice)
    {
        constexpr double fadeSeconds = 0.004;
        const auto angle = (pan + 1.0) * juce::MathConstants<double>::pi / 4.0;
        const auto leftGain = (float)(level * std::cos (angle));
        const auto rightGain = (float)(level * std::sin (angle));
        const auto first = (int)std::lround (startSeconds * sampleRate);
        const auto count = juce::jmin ((int)std::lround (lengthSeconds * sampleRate), buffer.getNumSamples() - first);

        for (int i = 0; i < count; ++i)
        {
            const auto t = i / sampleRate;
            const auto fade = juce::jmin (1.0, t / fadeSeconds, (lengthSeconds - t) / fadeSeconds);
            const auto value = (float)(fade * voice (t));
            buffer.addSample (0, first + i, leftGain * value);
            buffer.addSample (1, first + i, rightGain * value);
        }
    }

private:
    juce::AudioBuffer<float>& buffer;
    const double sampleRate;
};

auto piano (int note)
{
    const auto hz = frequencyOf (note);
    return [hz] (double t)
    { return std::exp (-3.0 * t) * (sine (hz, t) + 0.4 * std::exp (-4.0 * t) * sine (2.0 * hz, t) + 0.15 * sine (3.0 * hz, t)); };
}

auto pluck (int note)
{
    const auto hz = frequencyOf (note);
    return [hz] (double t)
    { return std::exp (-6.0 * t) * (sine (hz, t) + 0.5 * std::exp (-8.0 * t) * sine (2.0 * hz, t)); };
}

auto bass (int note)
{
    const auto hz = frequencyOf (note);
    return [hz] (double t)
    { return std::exp (-4.0 * t) * (sine (hz, t) + 0.3 * sine (2.0 * hz, t)); };
}

// A sine gliding from 120 Hz down to 45 Hz; the phase is the integral of
// that frequency, so the glide has no steps.
double kick (double t)
{
    const auto phase = twoPi * (45.0 * t + 75.0 * (1.0 - std::exp (-30.0 * t)) / 30.0);
    return std::exp (-9.0 * t) * std::sin (phase);
}

auto snare (juce::Random& random)
{
    return [&random] (double t)
    { return std::exp (-20.0 * t) * (random.nextFloat() * 2.0f - 1.0f) + 0.6 * std::exp (-25.0 * t) * sine (180.0, t); };
}

// The difference of successive noise samples tilts the noise towards the
// top octaves, which is all a closed hi-hat needs.
auto hiHat (juce::Random& random)
{
    return [&random, previous = 0.0f] (double t) mutable
    {
        const auto next = random.nextFloat() * 2.0f - 1.0f;
        const auto difference = next - previous;
        previous = next;
        return 0.5 * std::exp (-60.0 * t) * difference;
    };
}

void addBar (Mixer& mixer, const Bar& bar, double start, double beat, juce::Random& random)
{
    const auto eighth = beat / 2.0;

    for (int half = 0; half < 2; ++half)
        for (size_t voice = 0; voice < bar.chord.size(); ++voice)
            mixer.add (start + half * 2 * beat, 2 * beat, 0.16f, -0.3f + 0.3f * (float)voice, piano (bar.chord[voice]));

    for (int i = 0; i < beatsPerBar; ++i)
        mixer.add (start + i * beat, beat, 0.22f, 0.35f, pluck (bar.melody[(size_t)i]));

    for (size_t i = 0; i < bassPattern.size(); ++i)
        mixer.add (start + (double)i * eighth, eighth, 0.5f, 0.0f, bass (bar.bassNote + bassPattern[i]));

    for (int i = 0; i < beatsPerBar; ++i)
    {
        if (i % 2 == 0)
            mixer.add (start + i * beat, beat, 0.9f, 0.0f, kick);
        else
            mixer.add (start + i * beat, beat / 2.0, 0.45f, -0.1f, snare (random));
    }

    for (int i = 0; i < 2 * beatsPerBar; ++i)
        mixer.add (start + i * eighth, eighth, i % 2 == 0 ? 0.12f : 0.2f, 0.4f, hiHat (random));
}
} // namespace

juce::AudioBuffer<float> composeDemoMusic (double seconds, double sampleRate)
{
    const auto numSamples = (int)std::lround (seconds * sampleRate);
    juce::AudioBuffer<float> music (2, numSamples);
    music.clear();

    Mixer mixer (music, sampleRate);
    juce::Random random (0x4d61726f);
    const auto beat = 60.0 / demoTempo;
    const auto barLength = beat * beatsPerBar;

    for (int bar = 0; bar * barLength < seconds; ++bar)
        addBar (mixer, score[(size_t)bar % score.size()], bar * barLength, beat, random);

    // Notes still sounding at the end are faded rather than cut off.
    const auto fadeSamples = juce::jmin (numSamples, (int)(0.05 * sampleRate));
    music.applyGainRamp (numSamples - fadeSamples, fadeSamples, 1.0f, 0.0f);

    const auto peak = music.getMagnitude (0, numSamples);
    if (peak > 0.0f)
        music.applyGain (demoPeakLevel / peak);

    return music;
}
} // namespace marrowtone::demo
