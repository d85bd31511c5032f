// Connects to the running panel's channel as a later start would and says nothing; writes
// "connected", then "dropped" when the panel gives up on it.
#include "platform/single_instance.h"
#include <cstdio>

int main()
{
    auto connection = platform::connect_to_running_copy(juce::CharPointer_UTF8("Tavri控制面板"), 5000);
    if (connection == nullptr)
    {
        std::printf("no panel\n");
        return 3;
    }
    std::printf("connected\n");
    std::fflush(stdout);
    char answer[64];
    connection->read(answer, sizeof(answer), 10000); // its refusal, or the end
    std::printf("dropped\n");
    return 0;
}
