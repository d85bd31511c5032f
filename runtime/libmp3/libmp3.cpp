// The sound board's MP3 player: Load, Play, Stop, SetVolume. Play returns at once; one player
// thread decodes the current file and hands it to the output. Without an audio device the
// sound is decoded and dropped: silent, never blocking the caller.
//
// Environment: RX40_PLAYER_LOG names a file that gets one line per call; RX40_PLAYER_OUTPUT
// ("driver" or "driver:device", for example "wav:/tmp/out.wav") picks the output module.
//
// Otherwise the output is chosen, never probed blindly: libout123's own search tries every
// module in turn, and on a machine without a sound server or card it reaches PortAudio, whose
// ALSA back end frees ALSA's process-wide configuration while the panel's audio device uses it
// (a crash); its JACK module may also start a server. So only an output that is there is opened:
// a PulseAudio or PipeWire server (its socket answers), a running JACK server (its socket
// answers), an ALSA card (listed in /proc/asound/cards), in that order; with none, the sound is
// decoded silently.
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mpg123.h>
#include <mutex>
#include <out123.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
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

bool socket_answers(const std::string& path)
{
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(addr.sun_path)) return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int s = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    const bool ok = connect(s, (sockaddr*)&addr, sizeof(addr)) == 0;
    close(s);
    return ok;
}

bool alsa_card_present()
{
    std::ifstream cards("/proc/asound/cards");
    std::string line;
    while (std::getline(cards, line))
    {
        const auto first = line.find_first_not_of(' ');
        if (first != std::string::npos && line[first] >= '0' && line[first] <= '9') return true;
    }
    return false;
}

// What the environment says about sound servers; read on the caller's thread.
struct output_environment
{
    std::string asked, pulseServer, runtimeDir, jackServer;

    static output_environment current()
    {
        auto get = [](const char* name)
        {
            const char* v = std::getenv(name);
            return std::string(v != nullptr ? v : "");
        };
        return {get("RX40_PLAYER_OUTPUT"), get("PULSE_SERVER"), get("XDG_RUNTIME_DIR"),
                get("JACK_DEFAULT_SERVER")};
    }
    bool operator==(const output_environment& o) const
    {
        return asked == o.asked && pulseServer == o.pulseServer && runtimeDir == o.runtimeDir &&
               jackServer == o.jackServer;
    }
    bool operator!=(const output_environment& o) const { return !(*this == o); }

    // "driver" or "driver:device" entries, best first.
    std::vector<std::string> outputs() const
    {
        if (!asked.empty()) return {asked};
        std::vector<std::string> found;
        if (!pulseServer.empty() || (!runtimeDir.empty() && socket_answers(runtimeDir + "/pulse/native")))
            found.push_back("pulse");
        const auto jackSocket = "/dev/shm/jack_" +
                                (jackServer.empty() ? std::string("default") : jackServer) + "_" +
                                std::to_string(getuid()) + "_0";
        if (socket_answers(jackSocket)) found.push_back("jack");
        if (alsa_card_present()) found.push_back("alsa");
        return found;
    }
};

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
        auto environment = output_environment::current();
        {
            std::lock_guard<std::mutex> g(lock);
            askedEnvironment = std::move(environment);
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
    std::string output_name()
    {
        std::lock_guard<std::mutex> g(lock);
        return openedName;
    }

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
        std::lock_guard<std::mutex> g(lock);
        openedName.clear();
    }

    bool open_output()
    {
        // Kept open between sounds; chosen again when it was closed or the environment changed.
        output_environment wanted;
        {
            std::lock_guard<std::mutex> g(lock);
            wanted = askedEnvironment;
        }
        if (wanted != openedEnvironment)
        {
            close_output();
            openedEnvironment = wanted;
        }
        if (output != nullptr || outputFailed) return output != nullptr;
        for (const auto& entry : wanted.outputs())
        {
            std::string driver = entry, device;
            const auto colon = driver.find(':');
            if (colon != std::string::npos)
            {
                device = driver.substr(colon + 1);
                driver.resize(colon);
            }
            output = out123_new();
            if (output == nullptr) break;
            out123_param2(output, OUT123_ADD_FLAGS, OUT123_QUIET, 0, nullptr);
            if (out123_open(output, driver.c_str(), device.empty() ? nullptr : device.c_str()) == OUT123_OK)
            {
                std::lock_guard<std::mutex> g(lock);
                openedName = entry;
                return true;
            }
            out123_del(output);
            output = nullptr;
        }
        outputFailed = true; // no output: decode silently until it is chosen again
        return false;
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
    output_environment openedEnvironment;
    output_environment askedEnvironment; // under the lock
    std::string openedName;              // under the lock
    std::thread worker;                  // last: starts once everything else is ready
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
// The output in use ("pulse", "jack", "alsa" or what RX40_PLAYER_OUTPUT asked for); empty while
// none is open (silent, or idle).
PLAYER_EXPORT const char* OutputName()
{
    static thread_local std::string name;
    name = the_player().output_name();
    return name.c_str();
}
// Microseconds from the last Play to its first decoded samples handed to the output; -1 before.
PLAYER_EXPORT long long LastStartLatencyMicros()
{
    return the_player().last_start_latency_us();
}
