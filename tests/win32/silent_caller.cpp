// Connects to the running panel's channel as a later start would, then says nothing for the
// seconds given: a caller that must not hold up the others.
#include "platform/single_instance.h"
#include <cstdio>

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 8;
    auto connection = platform::connect_to_running_copy(juce::CharPointer_UTF8("Tavri控制面板"), 5000);
    std::printf(connection != nullptr ? "connected\n" : "no panel\n");
    std::fflush(stdout);
    juce::Thread::sleep(seconds * 1000);
    return connection != nullptr ? 0 : 3;
}
