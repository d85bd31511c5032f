#include "platform/repaint_pump.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <windows.h>

namespace platform
{
namespace
{
struct repaint_pump : juce::Timer
{
    void timerCallback() override
    {
        // Menus and pop-ups are peers too.
        for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
            if (auto* peer = juce::ComponentPeer::getPeer(i)) peer->performAnyPendingRepaintsNow();
    }
};

bool running_under_wine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
} // namespace

std::unique_ptr<juce::Timer> start_repaint_pump()
{
    if (!running_under_wine()) return nullptr;
    auto pump = std::make_unique<repaint_pump>();
    pump->startTimerHz(60);
    return pump;
}
} // namespace platform
