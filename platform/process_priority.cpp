#include "platform/process_priority.h"
#include <juce_core/juce_core.h>

namespace platform
{
void raise_process_priority()
{
    juce::Process::setPriority(juce::Process::HighPriority);
}
} // namespace platform
