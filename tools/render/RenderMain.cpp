// marrowtone-render: renders an audio file through the Marrowtone processor
// offline. Every failure ends as one "marrowtone-render: ..." line on stderr
// and a non-zero exit status.
#include "PresetCatalogue.h"
#include "ProgressBar.h"
#include "RenderOptions.h"
#include "Renderer.h"

#include <juce_events/juce_events.h>

#include <iostream>
#include <unistd.h>

namespace
{
int fail (const juce::String& message)
{
    std::cerr << "marrowtone-render: " << message << std::endl;
    return 1;
}
} // namespace

int main (int argc, char* argv[])
{
    using namespace marrowtone::render;

    juce::StringArray arguments;
    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    const auto parsed = parseRenderOptions (arguments);
    if (parsed.error != OptionError::none)
        return fail (parsed.message);

    const auto& options = parsed.options;
    if (options.showHelp)
    {
        std::cout << usageText();
        return 0;
    }

    // The processor's parameter state starts a timer, which needs JUCE's
    // message machinery even though no message loop ever runs here.
    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    if (options.listPresets)
    {
        for (const auto& name : availablePresetNames())
            std::cout << name << "\n";

        return 0;
    }

    ProgressBar progress (std::cerr, isatty (STDERR_FILENO) != 0);
    const auto result = renderFile (options, [&progress] (juce::int64 done, juce::int64 total, double rate)
                                    { progress.update (done, total, rate); });
    progress.finish();

    return result.wasOk() ? 0 : fail (result.getErrorMessage());
}
