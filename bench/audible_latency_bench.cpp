// What a user hears: from the player's Play call, and from an X key event through the real
// keyboard hook, to the first non-zero sample arriving at a JACK input. Starts its own JACK
// server (dummy backend, 48 kHz, -p 256 unless given) and points the real player library at its
// own ports. Median and worst over 50 plays after 3 s and after 100 ms of idle.
// Needs an X display (xvfb-run), jackd and lame.
//   bench_audible [PERIOD] [PLAYS] [nokeep]   (nokeep: as a panel that never keeps the output open)
#include "bench/keypad_hotkey.h"
#include "soundboard/enum_panel.h"
#include "tests/jack_dummy_server.h"
#include "tests/jack_listener.h"
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <vector>

namespace
{
using clock_type = std::chrono::steady_clock;

void report(const char* what, std::vector<double> ms, int missed)
{
    if (ms.empty())
    {
        std::printf("%-46s never heard (%d plays)\n", what, missed);
        return;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-46s median %6.2f ms   worst %6.2f ms   (%zu plays, %d never heard)\n", what,
                ms[ms.size() / 2], ms.back(), ms.size(), missed);
}

// A 150 ms square wave at half scale, loud from its first sample.
juce::File make_sound()
{
    const auto mp3 = platform::program_file("\\sound\\bench_click.mp3");
    mp3.getParentDirectory().createDirectory();
    const auto wav = mp3.withFileExtension("wav");
    {
        juce::WavAudioFormat format;
        std::unique_ptr<juce::AudioFormatWriter> w(
            format.createWriterFor(new juce::FileOutputStream(wav), 48000, 2, 16, {}, 0));
        juce::AudioBuffer<float> b(2, 7200);
        for (int i = 0; i < b.getNumSamples(); ++i)
            for (int c = 0; c < 2; ++c)
                b.setSample(c, i, (i / 24) % 2 ? 0.5f : -0.5f);
        w->writeFromAudioSampleBuffer(b, 0, b.getNumSamples());
    }
    const juce::String command =
        "lame --quiet -b 192 '" + wav.getFullPathName() + "' '" + mp3.getFullPathName() + "'";
    if (std::system(command.toRawUTF8()) != 0) return {};
    wav.deleteFile();
    return mp3;
}
} // namespace

int main(int argc, char** argv)
{
    const juce::String period = argc > 1 ? argv[1] : "256";
    const int plays = argc > 2 ? std::atoi(argv[2]) : 50;
    const bool keep = !(argc > 3 && std::strcmp(argv[3], "nokeep") == 0);
    juce::ScopedJuceInitialiser_GUI juceInit;

    jack_dummy_server jack("rx40bench", period.getIntValue());
    if (!jack.running())
    {
        std::fprintf(stderr, "cannot start jackd\n");
        return 1;
    }
    jack_listener ear;
    bool joined = false;
    for (int i = 0; i < 100 && !joined; ++i)
    {
        juce::Thread::sleep(100);
        joined = ear.open("rx40bench_ear");
    }
    if (!joined) return 1;
    std::printf("JACK dummy: 48000 Hz, period %s frames (%.2f ms)\n", period.toRawUTF8(),
                period.getIntValue() / 48.0);

    const auto sound = make_sound();
    if (sound == juce::File())
    {
        std::fprintf(stderr, "cannot make the sound (lame)\n");
        return 1;
    }
    setenv("RX40_PLAYER_OUTPUT", ear.player_output().c_str(), 1);
    const auto library = juce::File(RX40_DIST_DIR).getChildFile("libmp3.so");
    void* lib = dlopen(library.getFullPathName().toRawUTF8(), RTLD_NOW);
    if (lib == nullptr) return 1;
    auto load = (int (*)(const char16_t*))dlsym(lib, "Load");
    auto play = (int (*)())dlsym(lib, "Play");
    auto keepOpen = (int (*)(int))dlsym(lib, "KeepOutputOpen"); // as the panel asks while in use
    if (keepOpen != nullptr && keep) keepOpen(1);
    std::printf("player keeps its output open while in use: %s\n",
                keepOpen != nullptr && keep ? "yes" : "no");

    auto quiet_for = [&](int ms)
    {
        juce::MessageManager::getInstance()->runDispatchLoopUntil(ms);
        while (ear.silentCycles < 4)
            juce::MessageManager::getInstance()->runDispatchLoopUntil(10);
    };
    auto measure = [&](const char* what, int idleMs, auto&& start)
    {
        std::vector<double> ms;
        int missed = 0;
        for (int i = 0; i < plays; ++i)
        {
            quiet_for(idleMs);
            ear.heard = false;
            ear.armed = true;
            const auto t0 = clock_type::now();
            start();
            while (!ear.heard && clock_type::now() - t0 < std::chrono::seconds(2))
                juce::MessageManager::getInstance()->runDispatchLoopUntil(1);
            ear.armed = false;
            if (ear.heard)
                ms.push_back((ear.heardAtNs - t0.time_since_epoch().count()) / 1e6);
            else
                ++missed;
        }
        report(what, ms, missed);
    };

    const auto path = sound.getFullPathName().toUTF16();
    auto play_direct = [&]
    {
        load(reinterpret_cast<const char16_t*>(path.getAddress()));
        play();
    };
    play_direct();
    juce::Thread::sleep(300);
    auto outputName = (const char* (*)())dlsym(lib, "OutputName");
    std::printf("player output: %s\n", outputName != nullptr ? outputName() : "?");
    measure("Play to first sample heard, 3 s idle", 3000, play_direct);
    measure("Play to first sample heard, 100 ms idle", 100, play_direct);

    // The same through the keyboard hook: keypad 1 with Num Lock on.
    Display* d = XOpenDisplay(nullptr);
    if (d == nullptr) return 1;
    keypad_hotkey hotkey(d, "bench_click");
    {
        enum_panel engine;
        engine.player().bind(library);
        if (!engine.hook_installed()) return 1;
        auto press = [&]
        {
            hotkey.press(true);
            hotkey.press(false);
        };
        measure("X key event to first sample heard, 3 s idle", 3000, press);
        measure("X key event to first sample heard, 100 ms idle", 100, press);
    }
    sound.deleteFile();
    XCloseDisplay(d);
    ear.close();
    jack.stop();
    return 0;
}
