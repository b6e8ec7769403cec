// Chart drawing: data coordinates are mapped into a plot area inside fixed
// margins that hold the tick labels, axis labels and title.
#include "Plot.h"

namespace marrowtone::plots
{
namespace
{
const auto background = juce::Colour (0xffe5e5e5);
const auto ink = juce::Colour (0xff222222);
const auto grid = juce::Colour (0x30222222);

double normalised (const Axis& axis, double value)
{
    if (axis.logarithmic)
        return std::log (value / axis.range.getStart()) / std::log (axis.range.getEnd() / axis.range.getStart());
    return (value - axis.range.getStart()) / axis.range.getLength();
}

juce::String tickText (double tick)
{
    // Ticks made by repeated addition land a hair off their round values.
    const auto value = std::round (tick * 100.0) / 100.0;
    if (std::abs (value) >= 1000.0 && std::fmod (value, 1000.0) == 0.0)
        return juce::String ((int) (value / 1000.0)) + "k";
    if (value == std::round (value))
        return juce::String ((int) value);
    return juce::String (value, 2).trimCharactersAtEnd ("0");
}
} // namespace

juce::Image drawChart (const Chart& chart, int width, int height)
{
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (background);

    const juce::Rectangle<float> area (78.0f, 46.0f, (float) width - 110.0f, (float) height - 106.0f);
    const auto toScreen = [&] (juce::Point<double> p)
    {
        return juce::Point<float> (area.getX() + area.getWidth() * (float) normalised (chart.x, p.x),
                                   area.getBottom() - area.getHeight() * (float) normalised (chart.y, p.y));
    };

    g.setColour (ink);
    g.setFont (juce::Font (20.0f, juce::Font::bold));
    g.drawText (chart.title, 0, 8, width, 30, juce::Justification::centred);

    g.setFont (juce::Font (14.0f));
    for (const auto tick : chart.x.ticks)
    {
        const auto x = toScreen ({ tick, chart.y.range.getStart() }).x;
        g.setColour (grid);
        g.drawVerticalLine ((int) x, area.getY(), area.getBottom());
        g.setColour (ink);
        g.drawText (tickText (tick), (int) x - 40, (int) area.getBottom() + 4, 80, 18, juce::Justification::centredTop);
    }
    for (const auto tick : chart.y.ticks)
    {
        const auto y = toScreen ({ chart.x.range.getStart(), tick }).y;
        g.setColour (grid);
        g.drawHorizontalLine ((int) y, area.getX(), area.getRight());
        g.setColour (ink);
        g.drawText (tickText (tick), 0, (int) y - 9, (int) area.getX() - 8, 18, juce::Justification::centredRight);
    }

    g.drawText (chart.x.label, area.toNearestInt().withY ((int) area.getBottom() + 26).withHeight (20),
                juce::Justification::centred);
    g.saveState();
    g.addTransform (juce::AffineTransform::rotation (-juce::MathConstants<float>::halfPi, 18.0f, area.getCentreY()));
    g.drawText (chart.y.label, (int) (18.0f - area.getHeight() * 0.5f), (int) area.getCentreY() - 10,
                (int) area.getHeight(), 20, juce::Justification::centred);
    g.restoreState();

    g.setColour (ink);
    g.drawRect (area, 1.5f);

    g.saveState();
    g.reduceClipRegion (area.toNearestInt());
    for (const auto& series : chart.series)
    {
        g.setColour (series.colour);
        if (series.asDots)
        {
            for (const auto& point : series.points)
                g.fillEllipse (juce::Rectangle<float> (9.0f, 9.0f).withCentre (toScreen (point)));
            continue;
        }

        juce::Path line;
        for (size_t i = 0; i < series.points.size(); ++i)
        {
            const auto p = toScreen (series.points[i]);
            if (i == 0)
                line.startNewSubPath (p);
            else
                line.lineTo (p);
        }
        g.strokePath (line, juce::PathStrokeType (2.0f));
    }
    g.restoreState();

    // Legend, at the right inside the plot area, only when it tells series apart.
    if (chart.series.size() > 1)
    {
        const auto top = chart.legendAtBottom ? area.getBottom() - 8.0f - 22.0f * (float) chart.series.size()
                                              : area.getY() + 8.0f;
        auto row = juce::Rectangle<float> (area.getRight() - 290.0f, top, 280.0f, 20.0f);
        for (const auto& series : chart.series)
        {
            g.setColour (series.colour);
            g.fillRect (row.withWidth (22.0f).withSizeKeepingCentre (22.0f, 4.0f));
            g.setColour (ink);
            g.drawText (series.label, row.withTrimmedLeft (30.0f), juce::Justification::centredLeft);
            row.translate (0.0f, 22.0f);
        }
    }

    return image;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    file.deleteFile();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat png;
    return stream.openedOk() && png.writeImageToStream (image, stream);
}
} // namespace marrowtone::plots
