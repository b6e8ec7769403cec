// A small line-and-point chart drawn with JUCE's software renderer, enough to
// show a curve the plug-in produces: title, labelled axes with tick values,
// a grid, and one or more series with a legend.
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

namespace marrowtone::plots
{
struct Axis
{
    juce::String label;
    juce::Range<double> range;
    std::vector<double> ticks;
    bool logarithmic = false;
};

struct Series
{
    juce::String label;
    std::vector<juce::Point<double>> points;
    juce::Colour colour;
    bool asDots = false;
};

struct Chart
{
    juce::String title;
    Axis x, y;
    std::vector<Series> series;
    bool legendAtBottom = false; // for curves that fill the top right corner
};

juce::Image drawChart (const Chart& chart, int width = 900, int height = 520);

// Writes the image as PNG, replacing any older file; false if it could not.
bool writePng (const juce::Image& image, const juce::File& file);
} // namespace marrowtone::plots
