// The common face of the per-sample signal processors (the delay lines), so an
// owner can hold and delete any of them through one base. Operations a given
// processor has no use for fall back to doing nothing and returning silence.
#pragma once

#include <juce_core/juce_core.h>

// A processor may add a per-sample form of its own with other argument types;
// it hides these on purpose (see VariableDelayLine), and GCC reports that
// against the hidden declarations, so the family's warning is silenced here.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Woverloaded-virtual")

class SignalProcessor
{
public:
    virtual float processValue (float sample, int channel) = 0;
    virtual float processValue (float) { return 0.0f; }
    virtual float processValue (float, int, float) { return 0.0f; }
    virtual void setDelay (float) { }
    virtual void processBuffer (float*, int, float) { }
    virtual int upsample (float*, int) { return 0; }
    virtual void downsample (float*, int) { }
    virtual ~SignalProcessor() = default;
};

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
