// Runs every test with JUCE initialised and with HOME and XDG_CONFIG_HOME
// pointing at a fresh temporary folder, so no test ever touches the real
// user's preset folder.
#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main (int argc, char** argv)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "marrowtone-test-XXXXXX").string();
    const char* home = mkdtemp (pattern.data());
    if (home == nullptr)
        return 1;

    setenv ("HOME", home, 1);
    setenv ("XDG_CONFIG_HOME", (std::string (home) + "/.config").c_str(), 1);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI juce;
        ::testing::InitGoogleTest (&argc, argv);
        result = RUN_ALL_TESTS();
    }

    std::filesystem::remove_all (home);
    return result;
}
