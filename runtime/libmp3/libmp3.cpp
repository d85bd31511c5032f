// The sound board's MP3 player: Load, Play, Stop, SetVolume. Play returns at once; one player
// thread decodes the current file and hands it to the output. Without an audio device the
// sound is decoded and dropped: silent, never blocking the caller.
//
// Environment: RX40_PLAYER_LOG names a file that gets one line per call; RX40_PLAYER_OUTPUT
// ("driver" or "driver:device", for example "wav:/tmp/out.wav") picks the output module.
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mpg123.h>
#include <mutex>
#include <out123.h>
#include <string>
#include <thread>
#include <vector>

#define PLAYER_EXPORT extern "C" __attribute__((visibility("default")))

namespace
{
using clock_type = std::chrono::steady_clock;

std::string utf8_of(const char16_t* text)
{
    std::string out;
    if (text == nullptr) return out;
    for (const char16_t* p = text; *p != 0; ++p)
    {
        uint32_t c = *p;
        if (c >= 0xD800 && c <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (uint32_t)(*++p - 0xDC00);
        if (c < 0x80)
            out += (char)c;
        else if (c < 0x800)
            out += {(char)(0xC0 | (c >> 6)), (char)(0x80 | (c & 0x3F))};
        else if (c < 0x10000)
            out += {(char)(0xE0 | (c >> 12)), (char)(0x80 | ((c >> 6) & 0x3F)), (char)(0x80 | (c & 0x3F))};
        else
            out += {(char)(0xF0 | (c >> 18)), (char)(0x80 | ((c >> 12) & 0x3F)),
                    (char)(0x80 | ((c >> 6) & 0x3F)), (char)(0x80 | (c & 0x3F))};
    }
    return out;
}

class player
{
  public:
    player() : worker([this] { run(); }) {}
    ~player()
    {
        {
            std::lock_guard<std::mutex> g(lock);
            quitting = true;
            ++generation;
        }
        wake.notify_all();
        worker.join();
        if (output != nullptr) out123_del(output);
    }

    void load(std::string path)
    {
        log("Load " + path);
        std::lock_guard<std::mutex> g(lock);
        current = std::move(path);
    }
    void play()
    {
        log("Play");
        // Read here, on the caller's thread: the environment is not safe to read beside a caller
        // that changes it.
        const char* asked = std::getenv("RX40_PLAYER_OUTPUT");
        {
            std::lock_guard<std::mutex> g(lock);
            askedOutput = asked != nullptr ? asked : "";
            ++generation;
            playing = true;
            playRequested = clock_type::now();
        }
        wake.notify_all();
    }
    void stop()
    {
        log("Stop");
        {
            std::lock_guard<std::mutex> g(lock);
            ++generation;
            playing = false;
        }
        wake.notify_all();
    }
    void set_volume(int hundredthsOfDecibel)
    {
        log("SetVolume " + std::to_string(hundredthsOfDecibel));
        gain = hundredthsOfDecibel <= -10000 ? 0.0f : (float)std::pow(10.0, hundredthsOfDecibel / 2000.0);
    }
    long long last_start_latency_us() const { return startLatencyUs; }

  private:
    void log(const std::string& line)
    {
        const char* file = std::getenv("RX40_PLAYER_LOG");
        if (file == nullptr || *file == 0) return;
        std::lock_guard<std::mutex> g(logLock);
        if (FILE* f = std::fopen(file, "a"))
        {
            std::fprintf(f, "%s\n", line.c_str());
            std::fclose(f);
        }
    }

    void close_output()
    {
        if (output != nullptr) out123_del(output);
        output = nullptr;
        outputFailed = false;
    }

    bool open_output()
    {
        // Kept open between sounds; opened again only when another output is asked for.
        std::string wanted;
        {
            std::lock_guard<std::mutex> g(lock);
            wanted = askedOutput;
        }
        if (wanted != openedOutput)
        {
            close_output();
            openedOutput = wanted;
        }
        if (output != nullptr || outputFailed) return output != nullptr;
        output = out123_new();
        std::string driver, device;
        if (!wanted.empty())
        {
            driver = wanted;
            const auto colon = driver.find(':');
            if (colon != std::string::npos)
            {
                device = driver.substr(colon + 1);
                driver.resize(colon);
            }
        }
        if (output == nullptr || out123_open(output, driver.empty() ? nullptr : driver.c_str(),
                                             device.empty() ? nullptr : device.c_str()) != OUT123_OK)
        {
            if (output != nullptr) out123_del(output);
            output = nullptr;
            outputFailed = true; // no device: decode silently from now on
        }
        return output != nullptr;
    }

    void run()
    {
        std::vector<unsigned char> buffer(16384);
        for (;;)
        {
            std::string path;
            unsigned long gen = 0;
            clock_type::time_point requested;
            {
                std::unique_lock<std::mutex> g(lock);
                const auto ready = [&] { return quitting || (playing && generation != played); };
                // The device is given back after a second without sound and opened again at
                // the next Play, so an idle sound board holds no audio device.
                if (!wake.wait_for(g, std::chrono::seconds(1), ready))
                {
                    g.unlock();
                    close_output();
                    g.lock();
                    wake.wait(g, ready);
                }
                if (quitting) return;
                played = gen = generation;
                path = current;
                requested = playRequested;
            }
            play_file(path, gen, requested, buffer);
        }
    }

    bool still(unsigned long gen)
    {
        std::lock_guard<std::mutex> g(lock);
        return generation == gen && !quitting;
    }

    void play_file(const std::string& path, unsigned long gen, clock_type::time_point requested,
                   std::vector<unsigned char>& buffer)
    {
        mpg123_handle* mh = mpg123_new(nullptr, nullptr);
        if (mh == nullptr) return;
        mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(mh);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        for (size_t i = 0; i < rateCount; ++i)
            mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_open(mh, path.c_str()) != MPG123_OK ||
            mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK)
        {
            mpg123_delete(mh);
            return;
        }
        const bool audible = open_output() && out123_start(output, rate, channels, encoding) == OUT123_OK;
        bool first = true;
        while (still(gen))
        {
            size_t done = 0;
            const int err = mpg123_read(mh, buffer.data(), buffer.size(), &done);
            if (err == MPG123_NEW_FORMAT) continue;
            if (done == 0) break; // the end, or a broken file
            const float g = gain;
            auto* samples = reinterpret_cast<int16_t*>(buffer.data());
            for (size_t i = 0; i < done / 2; ++i)
                samples[i] = (int16_t)std::lround(samples[i] * g);
            if (first)
            {
                startLatencyUs =
                    std::chrono::duration_cast<std::chrono::microseconds>(clock_type::now() - requested)
                        .count();
                first = false;
            }
            if (audible) out123_play(output, buffer.data(), done);
            if (err != MPG123_OK) break;
        }
        if (audible)
        {
            if (still(gen))
                out123_drain(output);
            else
                out123_drop(output);
            out123_stop(output);
        }
        mpg123_close(mh);
        mpg123_delete(mh);
    }

    std::mutex lock, logLock;
    std::condition_variable wake;
    std::string current;
    unsigned long generation = 0, played = 0;
    bool playing = false, quitting = false;
    clock_type::time_point playRequested;
    std::atomic<float> gain{1.0f};
    std::atomic<long long> startLatencyUs{-1};
    out123_handle* output = nullptr; // the player thread's
    bool outputFailed = false;
    std::string openedOutput;
    std::string askedOutput; // under the lock
    std::thread worker;      // last: starts once everything else is ready
};

player& the_player()
{
    static player p; // joined when the library is unloaded
    return p;
}
} // namespace

PLAYER_EXPORT int Load(const char16_t* path)
{
    the_player().load(utf8_of(path));
    return 0;
}
PLAYER_EXPORT int Play()
{
    the_player().play();
    return 0;
}
PLAYER_EXPORT int Stop()
{
    the_player().stop();
    return 0;
}
PLAYER_EXPORT int SetVolume(int hundredthsOfDecibel)
{
    the_player().set_volume(hundredthsOfDecibel);
    return 0;
}
// Microseconds from the last Play to its first decoded samples handed to the output; -1 before.
PLAYER_EXPORT long long LastStartLatencyMicros()
{
    return the_player().last_start_latency_us();
}
