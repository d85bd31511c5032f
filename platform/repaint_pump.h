#pragma once
#include <juce_events/juce_events.h>
#include <memory>

namespace platform
{
// Where the system never tells the framework that the screen is ready for the next frame (Wine:
// its v-blank wait is a stub, so deferred repaints never run), a timer that repaints every
// window's pending areas 60 times a second; null elsewhere. The caller keeps it while windows
// exist. Message thread.
std::unique_ptr<juce::Timer> start_repaint_pump();
} // namespace platform
