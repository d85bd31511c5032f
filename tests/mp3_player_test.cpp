#include "soundboard/mp3_player.h"
#include "tests/jack_dummy_server.h"
#include "tests/jack_listener.h"
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>

namespace
{
const juce::File dist(RX40_DIST_DIR);

struct decoded
{
    double seconds = 0, audibleSeconds = 0;
    float peak = 0;
};

// Plays FILE at LEVEL through the real library into a WAV file and reads that back.
decoded play_to_wav(const juce::File& mp3, int level)
{
    juce::TemporaryFile wav(".wav");
    setenv("RX40_PLAYER_OUTPUT", ("wav:" + wav.getFile().getFullPathName()).toRawUTF8(), 1);
    {
        mp3_player player;
        player.bind(dist.getChildFile("libmp3.so"));
        EXPECT_NE(player.Play, nullptr);
        player.play(mp3.getFullPathName(), level);
        // Play returns at once; the sound runs on by itself, and a second after it the player
        // closes its output, which completes the file.
        juce::Thread::sleep(2500);
        player.unbind();
    }
    unsetenv("RX40_PLAYER_OUTPUT");
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(wav.getFile()));
    decoded d;
    if (reader == nullptr) return d;
    juce::AudioBuffer<float> samples((int)reader->numChannels, (int)reader->lengthInSamples);
    reader->read(&samples, 0, (int)reader->lengthInSamples, 0, true, true);
    d.seconds = (double)reader->lengthInSamples / reader->sampleRate;
    int audible = 0;
    for (int i = 0; i < samples.getNumSamples(); ++i)
    {
        const float v = std::abs(samples.getSample(0, i));
        d.peak = std::max(d.peak, v);
        if (v > 0.001f) ++audible;
    }
    d.audibleSeconds = audible / reader->sampleRate;
    return d;
}
} // namespace

TEST(mp3_player, decodes_a_sound_to_the_output_at_the_set_level)
{
    const auto sweep = dist.getChildFile("sound/sweep.mp3"); // one second of a loud sweep
    ASSERT_TRUE(sweep.existsAsFile());
    const auto full = play_to_wav(sweep, 0);
    EXPECT_NEAR(full.seconds, 1.0, 0.1);
    EXPECT_GT(full.audibleSeconds, 0.85);
    EXPECT_GT(full.peak, 0.5f);
    const auto quieter = play_to_wav(sweep, -600); // -6 dB: half the amplitude
    EXPECT_NEAR(quieter.peak / full.peak, 0.5, 0.03);
    EXPECT_EQ(play_to_wav(sweep, -10000).peak, 0.0f);
}

TEST(mp3_player, calls_are_logged_and_never_block)
{
    juce::TemporaryFile log(".log");
    setenv("RX40_PLAYER_LOG", log.getFile().getFullPathName().toRawUTF8(), 1);
    setenv("RX40_PLAYER_OUTPUT", "nosuchdriver", 1); // no device: silent playback
    {
        mp3_player player;
        player.bind(dist.getChildFile("libmp3.so"));
        player.play("/nonexistent/gone.mp3", -3800);
        player.play(dist.getChildFile("sound/ding.mp3").getFullPathName(), 0);
        player.stop();
    }
    unsetenv("RX40_PLAYER_LOG");
    unsetenv("RX40_PLAYER_OUTPUT");
    EXPECT_EQ(log.getFile().loadFileAsString(),
              "Stop\nLoad /nonexistent/gone.mp3\nSetVolume -3800\nPlay\nStop\nLoad " +
                  dist.getChildFile("sound/ding.mp3").getFullPathName() + "\nSetVolume 0\nPlay\nStop\n");
}

TEST(mp3_player, a_missing_library_or_entry_point_skips_its_step)
{
    mp3_player player;
    player.bind(dist.getChildFile("nothing-here.so"));
    EXPECT_EQ(player.Load, nullptr);
    player.play("/x.mp3", 0);                       // nothing bound: nothing happens
    player.bind(dist.getChildFile("devbridge.so")); // a library without the four
    EXPECT_EQ(player.Play, nullptr);
    player.play("/x.mp3", 0);
}

namespace
{
// The output the loaded player library has open, from its own report.
std::string output_name()
{
    auto* lib = dlopen(dist.getChildFile("libmp3.so").getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_NOLOAD);
    auto* name = lib != nullptr ? reinterpret_cast<const char* (*)()>(dlsym(lib, "OutputName")) : nullptr;
    std::string result = name != nullptr ? name() : "(no report)";
    if (lib != nullptr) dlclose(lib);
    return result;
}

// The output the player opens for a silent play of SOUND.
std::string player_output(mp3_player& player, const juce::File& sound)
{
    player.play(sound.getFullPathName(), -10000);
    juce::Thread::sleep(400);
    auto result = output_name();
    player.stop();
    return result;
}

bool alsa_card_listed()
{
    juce::StringArray lines;
    lines.addLines(juce::File("/proc/asound/cards").loadFileAsString());
    for (auto& l : lines)
        if (juce::CharacterFunctions::isDigit(l.trimStart()[0])) return true;
    return false;
}
} // namespace

TEST(mp3_player, keeps_its_output_open_while_asked_and_plays_a_sound_again_whole)
{
    juce::TemporaryFile wav(".wav");
    const auto output = "wav:" + wav.getFile().getFullPathName().toStdString();
    setenv("RX40_PLAYER_OUTPUT", output.c_str(), 1);
    const auto sweep = dist.getChildFile("sound/sweep.mp3");
    {
        mp3_player player;
        player.bind(dist.getChildFile("libmp3.so"));
        ASSERT_NE(player.KeepOutputOpen, nullptr);
        player.keep_open(true);
        juce::Thread::sleep(300);
        EXPECT_EQ(output_name(), output) << "not opened ahead of the first sound";
        // Two plays with more than the idle second after each: the output stays, and the second
        // play (from memory) is the whole sound again.
        for (int i = 0; i < 2; ++i)
        {
            player.play(sweep.getFullPathName(), 0);
            juce::Thread::sleep(2300);
            EXPECT_EQ(output_name(), output) << "given back while kept, after play " << i;
        }
        player.keep_open(false);
        juce::Thread::sleep(1500);
        EXPECT_EQ(output_name(), "") << "kept after it was no longer asked for";
        player.unbind();
    }
    unsetenv("RX40_PLAYER_OUTPUT");
    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader(formats.createReaderFor(wav.getFile()));
    ASSERT_NE(reader, nullptr);
    juce::AudioBuffer<float> samples((int)reader->numChannels, (int)reader->lengthInSamples);
    reader->read(&samples, 0, (int)reader->lengthInSamples, 0, true, true);
    int audible = 0;
    for (int i = 0; i < samples.getNumSamples(); ++i)
        if (std::abs(samples.getSample(0, i)) > 0.001f) ++audible;
    EXPECT_NEAR(audible / reader->sampleRate, 2 * 0.95, 0.15); // the one-second sweep, twice
}

TEST(mp3_player, picks_an_output_that_is_there_and_never_probes)
{
    // As on a user's machine: no output asked for.
    unsetenv("RX40_PLAYER_OUTPUT");
    unsetenv("PULSE_SERVER");
    juce::TemporaryFile runtime;
    runtime.getFile().getChildFile("pulse").createDirectory();
    runtime.getFile().getChildFile("pulse/native").replaceWithText("a stale socket file: nobody answers");
    setenv("XDG_RUNTIME_DIR", runtime.getFile().getFullPathName().toRawUTF8(), 1);
    const auto ding = dist.getChildFile("sound/ding.mp3");
    mp3_player player;
    player.bind(dist.getChildFile("libmp3.so"));
    if (!alsa_card_listed() &&
        !juce::File("/dev/shm/jack_default_" + juce::String((int)getuid()) + "_0").exists())
    {
        // Nothing here to play on: silence, and the player still answers.
        EXPECT_EQ(player_output(player, ding), "");
        EXPECT_EQ(player_output(player, ding), "");
    }

    // A JACK server that runs: the player joins it (and never starts one of its own).
    if (juce::File("/usr/bin/jackd").existsAsFile())
    {
        jack_dummy_server jack("rx40playertest", 512);
        ASSERT_TRUE(jack.running());
        juce::Thread::sleep(1200); // past the idle second: the next Play chooses again
        EXPECT_EQ(player_output(player, ding), "jack");

        // And the sound reaches a JACK port (JACK takes float samples only).
        jack_listener ear;
        ASSERT_TRUE(ear.open("rx40playertest_ear"));
        setenv("RX40_PLAYER_OUTPUT", ear.player_output().c_str(), 1);
        ear.armed = true;
        player.play(ding.getFullPathName(), 0);
        for (int i = 0; i < 300 && !ear.heard; ++i)
            juce::Thread::sleep(10);
        EXPECT_TRUE(ear.heard) << "nothing arrived at " << ear.player_output();

        // The server goes away while the output is kept open (libjack crashes when such a client
        // is closed): the next Play finds it gone and plays silently, and giving the output back
        // later neither crashes nor hangs.
        player.keep_open(true);
        juce::Thread::sleep(200);
        const auto kept = output_name();
        EXPECT_EQ(kept, ear.player_output());
        ear.close();
        jack.stop();
        player.keep_open(false);
        juce::Thread::sleep(1500); // the idle second: the output is given back
        EXPECT_EQ(output_name(), "");
        player.keep_open(true);
        jack_dummy_server again("rx40playertest", 512);
        juce::Thread::sleep(300);
        again.stop();
        player.play(ding.getFullPathName(), 0); // finds its server gone: silence
        juce::Thread::sleep(500);
        EXPECT_EQ(output_name(), "");
        player.stop();
        unsetenv("RX40_PLAYER_OUTPUT");
        unsetenv("JACK_DEFAULT_SERVER");
    }
    player.unbind();
    unsetenv("XDG_RUNTIME_DIR");
}
