// Hotkey latency: from an X key event (sent with XTest) to the player's Play call, through
// the real keyboard hook and engine; and from Play to the first decoded samples handed to the
// output by the real player library. Needs an X display (run it under xvfb-run).
#include "bench/keypad_hotkey.h"
#include "soundboard/enum_panel.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <vector>

namespace
{
using clock_type = std::chrono::steady_clock;
clock_type::time_point playedAt;
bool played = false;
int fake_play()
{
    playedAt = clock_type::now();
    played = true;
    return 0;
}

void report(const char* what, std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    std::printf("%-44s median %8.1f us   worst %8.1f us   (%zu runs)\n", what, us[us.size() / 2], us.back(),
                us.size());
}
} // namespace

int main(int argc, char** argv)
{
    const int presses = argc > 1 ? std::atoi(argv[1]) : 300;
    juce::ScopedJuceInitialiser_GUI juceInit;
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr)
    {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    keypad_hotkey hotkey(d, "bench");
    std::vector<double> keyToPlay;
    {
        enum_panel engine;
        engine.player().unbind();
        engine.player().Play = fake_play;
        if (!engine.hook_installed()) return 1;
        for (int i = 0; i < presses; ++i)
        {
            played = false;
            const auto sent = clock_type::now();
            hotkey.press(true);
            while (!played && clock_type::now() - sent < std::chrono::seconds(2))
                juce::MessageManager::getInstance()->runDispatchLoopUntil(1);
            hotkey.press(false);
            juce::MessageManager::getInstance()->runDispatchLoopUntil(2);
            if (played)
                keyToPlay.push_back(std::chrono::duration<double, std::micro>(playedAt - sent).count());
        }
    }
    XCloseDisplay(d);
    if (keyToPlay.empty()) return 1;
    report("X key event to Play", keyToPlay);

    // The player library: Play to the first samples handed to the output (a WAV sink).
    setenv("RX40_PLAYER_OUTPUT", "wav:/dev/null", 0);
    const auto dist = juce::File(RX40_DIST_DIR);
    void* lib = dlopen(dist.getChildFile("libmp3.so").getFullPathName().toRawUTF8(), RTLD_NOW);
    if (lib == nullptr) return 1;
    auto load = (int (*)(const char16_t*))dlsym(lib, "Load");
    auto play = (int (*)())dlsym(lib, "Play");
    auto latency = (long long (*)())dlsym(lib, "LastStartLatencyMicros");
    const auto path = dist.getChildFile("sound/ding.mp3").getFullPathName().toUTF16();
    load(reinterpret_cast<const char16_t*>(path.getAddress()));
    std::vector<double> playToSamples;
    for (int i = 0; i < 100; ++i)
    {
        const long long before = latency();
        play();
        for (int wait = 0; wait < 2000 && latency() == before; ++wait)
            juce::Thread::sleep(1);
        playToSamples.push_back((double)latency());
        juce::Thread::sleep(5);
    }
    report("Play to first decoded samples at the output", playToSamples);
    return 0;
}
