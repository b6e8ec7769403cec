// Proves the host sees the five parameters in the right order, with their
// names, ranges, defaults, value text and snapping.
#include "ParameterTable.h"
#include "PluginProcessor.h"
#include "ProcessorHarness.h"

#include <gtest/gtest.h>

TEST (ParameterSet, FreshInstanceListsFiveParametersInHostOrderWithDefaults)
{
    TapeAudioProcessor processor;
    const auto& hostParameters = processor.getParameters();
    ASSERT_EQ (hostParameters.size(), 5);

    const char* expectedIds[] = { "saturation", "lowPass", "noise", "wow", "flutter" };
    const char* expectedNames[] = { "Saturation", "Low Pass", "Noise", "Wow", "Flutter" };
    const float expectedDefaults[] = { 0.0f, 18000.0f, -20.0f, 2.0f, 2.0f };
    const float expectedRanges[][2] = { { -24.0f, 24.0f }, { 8000.0f, 22000.0f }, { -80.0f, 0.0f }, { 0.0f, 100.0f }, { 0.0f, 100.0f } };

    for (int i = 0; i < 5; ++i)
    {
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (hostParameters[i]);
        ASSERT_NE (parameter, nullptr);
        EXPECT_EQ (parameter->getParameterID(), expectedIds[i]);
        EXPECT_EQ (parameter->getName (100), expectedNames[i]);
        EXPECT_EQ (parameter->getLabel(), "");
        EXPECT_TRUE (parameter->isAutomatable());
        EXPECT_FALSE (parameter->isMetaParameter());
        EXPECT_EQ (parameter->getNormalisableRange().start, expectedRanges[i][0]);
        EXPECT_EQ (parameter->getNormalisableRange().end, expectedRanges[i][1]);
        EXPECT_FLOAT_EQ (parameter->convertFrom0to1 (parameter->getDefaultValue()), expectedDefaults[i]);
        EXPECT_FLOAT_EQ (parameterValue (processor, expectedIds[i]), expectedDefaults[i]);
    }

    EXPECT_EQ (processor.getCurrentPreset(), "Default");
}

TEST (ParameterSet, ValueTextHasTwoDecimalsExceptTheWholeNumberLowPass)
{
    TapeAudioProcessor processor;
    auto text = [&] (const char* id) {
        auto* parameter = processor.parameters.getParameter (id);
        return parameter->getText (parameter->getValue(), 1024);
    };

    EXPECT_EQ (text ("lowPass"), "18000");
    EXPECT_EQ (text ("noise"), "-20.00");
    EXPECT_EQ (text ("saturation"), "0.00");
    EXPECT_EQ (text ("wow"), "2.00");

    auto* noise = processor.parameters.getParameter ("noise");
    EXPECT_FLOAT_EQ (noise->convertFrom0to1 (noise->getValueForText ("-12.5")), -12.5f);
}

TEST (ParameterSet, HostValuesSnapToTheParameterStepAndClampToTheRange)
{
    struct Case
    {
        const char* id;
        float requested;
        float expected;
    };
    const Case cases[] = {
        { "saturation", 3.14159f, 3.14f },
        { "saturation", -3.146f, -3.15f },
        { "wow", 57.777f, 57.78f },
        { "lowPass", 12345.6f, 12346.0f },
        { "lowPass", 30000.0f, 22000.0f },
        { "noise", -200.0f, -80.0f },
    };

    TapeAudioProcessor processor;
    for (const auto& c : cases)
    {
        setParameter (processor, c.id, c.requested);
        EXPECT_NEAR (parameterValue (processor, c.id), c.expected, 1.0e-4f) << c.id << " " << c.requested;
    }
}

TEST (ParameterSet, NormalisedValueIsLinearInTheRange)
{
    TapeAudioProcessor processor;
    auto* lowPass = processor.parameters.getParameter ("lowPass");
    EXPECT_FLOAT_EQ (lowPass->convertTo0to1 (15000.0f), (15000.0f - 8000.0f) / 14000.0f);
    auto* saturation = processor.parameters.getParameter ("saturation");
    EXPECT_FLOAT_EQ (saturation->convertTo0to1 (12.0f), 0.75f);
}

TEST (ParameterSet, TableMatchesWhatTheHostSees)
{
    TapeAudioProcessor processor;
    for (size_t i = 0; i < marrowtone::parameterTable.size(); ++i)
    {
        const auto& definition = marrowtone::parameterTable[i];
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (processor.getParameters()[(int) i]);
        EXPECT_EQ (parameter->getParameterID(), definition.id);
        EXPECT_EQ (dynamic_cast<juce::AudioParameterInt*> (parameter) != nullptr, definition.isInteger);
    }
}
