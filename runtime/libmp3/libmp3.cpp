// The sound board's MP3 player: Load, Play, Stop, SetVolume (and KeepOutputOpen). Play returns at
// once; one player thread decodes the current file and hands it to the output, in the format the
// output takes. Without an audio device the sound is decoded and dropped: silent, never blocking
// the caller. A sound is heard at once: the output stays started between sounds (for a second,
// or while the sound board keeps it open), its buffer is small, and short sounds played before
// come decoded from memory.
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
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <list>
#include <mpg123.h>
#include <mutex>
#include <out123.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#define PLAYER_EXPORT extern "C" __declspec(dllexport)
#else
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#define PLAYER_EXPORT extern "C" __attribute__((visibility("default")))
#endif

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

#ifndef _WIN32
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

// Whether a process listens on the socket at PATH, from the kernel's table: no connection is made
// (a JACK server logs every connection that closes at once).
bool socket_listening(const std::string& path)
{
    std::ifstream table("/proc/net/unix");
    std::string line;
    while (std::getline(table, line))
        if (line.size() > path.size() && line.compare(line.size() - path.size(), path.size(), path) == 0 &&
            line[line.size() - path.size() - 1] == ' ')
            return true;
    return false;
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

#endif

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

#ifdef _WIN32
    std::string jack_socket() const
    {
        return {};
    }

    // Windows' own output (waveOut); the only module built in.
    std::vector<std::string> outputs() const
    {
        if (!asked.empty()) return {asked};
        return {"win32"};
    }
#else
    // The socket of the JACK server a JACK client of this environment joins.
    std::string jack_socket() const
    {
        return "/dev/shm/jack_" + (jackServer.empty() ? std::string("default") : jackServer) + "_" +
               std::to_string(getuid()) + "_0";
    }

    // "driver" or "driver:device" entries, best first.
    std::vector<std::string> outputs() const
    {
        if (!asked.empty()) return {asked};
        std::vector<std::string> found;
        if (!pulseServer.empty() || (!runtimeDir.empty() && socket_answers(runtimeDir + "/pulse/native")))
            found.push_back("pulse");
        if (socket_answers(jack_socket())) found.push_back("jack");
        if (alsa_card_present()) found.push_back("alsa");
        return found;
    }
#endif
};

// Whole decoded sounds, so a sound played again starts from memory. Short sounds only (a sound
// board's), in the output's format at unity gain; the oldest go first past the total limit.
class sound_cache
{
  public:
    struct key
    {
        std::string path;
        long long size = -1, modified = -1;
        long rate = 0;
        int encoding = 0;
        bool operator==(const key& o) const
        {
            return path == o.path && size == o.size && modified == o.modified && rate == o.rate &&
                   encoding == o.encoding;
        }
    };
    static constexpr size_t max_sound_bytes = 8u << 20, max_total_bytes = 64u << 20;

    static key key_of(const std::string& path, long rate, int encoding)
    {
        key k{path, -1, -1, rate, encoding};
#ifdef _WIN32
        struct _stat64 st
        {
        };
        if (::_stat64(path.c_str(), &st) == 0)
        {
            k.size = (long long)st.st_size;
            k.modified = (long long)st.st_mtime;
        }
#else
        struct stat st
        {
        };
        if (::stat(path.c_str(), &st) == 0)
        {
            k.size = (long long)st.st_size;
            k.modified = (long long)st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
        }
#endif
        return k;
    }
    const std::vector<unsigned char>* find(const key& k)
    {
        for (auto i = entries.begin(); i != entries.end(); ++i)
            if (i->first == k)
            {
                entries.splice(entries.begin(), entries, i); // most recent first
                return &entries.front().second;
            }
        return nullptr;
    }
    void add(const key& k, std::vector<unsigned char> bytes)
    {
        if (k.size < 0 || bytes.size() > max_sound_bytes) return;
        total += bytes.size();
        entries.emplace_front(k, std::move(bytes));
        while (total > max_total_bytes && !entries.empty())
        {
            total -= entries.back().second.size();
            entries.pop_back();
        }
    }

  private:
    std::list<std::pair<key, std::vector<unsigned char>>> entries;
    size_t total = 0;
};

void apply_gain(unsigned char* bytes, size_t count, int encoding, float gain)
{
    if (gain == 1.0f) return;
    if (encoding == MPG123_ENC_FLOAT_32)
    {
        auto* f = reinterpret_cast<float*>(bytes);
        for (size_t i = 0; i < count / sizeof(float); ++i)
            f[i] *= gain;
    }
    else if (encoding == MPG123_ENC_SIGNED_32)
    {
        auto* v = reinterpret_cast<int32_t*>(bytes);
        for (size_t i = 0; i < count / sizeof(int32_t); ++i)
            v[i] = (int32_t)std::llround(v[i] * (double)gain);
    }
    else
    {
        auto* v = reinterpret_cast<int16_t*>(bytes);
        for (size_t i = 0; i < count / sizeof(int16_t); ++i)
            v[i] = (int16_t)std::lround(v[i] * gain);
    }
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
        close_output();
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
    void keep_open(bool on)
    {
        auto environment = output_environment::current();
        {
            std::lock_guard<std::mutex> g(lock);
            if (on) askedEnvironment = std::move(environment);
            keepOpen = on;
        }
        wake.notify_all();
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

    // A JACK output whose server has gone: libjack crashes when such a client is closed, and a
    // write to it may never return.
    bool output_gone() const
    {
#ifdef _WIN32
        return false;
#else
        return output != nullptr && !jackSocket.empty() && !socket_listening(jackSocket);
#endif
    }

    void close_output()
    {
        // An output whose server has gone is left as it is (a little memory) rather than closed.
        if (output != nullptr && !output_gone())
        {
            if (started) out123_stop(output);
            out123_del(output);
        }
        output = nullptr;
        started = false;
        jackSocket.clear();
        std::lock_guard<std::mutex> g(lock);
        openedName.clear();
    }

    // The output's format: the device's own rate where it has one (a JACK server's), else 48 or
    // 44.1 kHz; stereo; 16-bit, float or 32-bit samples, whichever the output takes (JACK takes
    // float only).
    bool start_output()
    {
        const long rates[] = {48000, 44100};
        struct mpg123_fmt* formats = nullptr;
        const int count = out123_formats(output, rates, 2, 2, 2, &formats);
        std::vector<long> tried;
        if (count > 0 && formats[0].rate > 0) tried.push_back(formats[0].rate);
        std::free(formats);
        tried.insert(tried.end(), std::begin(rates), std::end(rates));
        for (const long rate : tried)
        {
            const int accepted = out123_encodings(output, rate, 2);
            if (accepted <= 0) continue;
            for (const int encoding : {MPG123_ENC_SIGNED_16, MPG123_ENC_FLOAT_32, MPG123_ENC_SIGNED_32})
                if ((accepted & encoding) == encoding && out123_start(output, rate, 2, encoding) == OUT123_OK)
                {
                    outputRate = rate;
                    outputEncoding = encoding;
                    return started = true;
                }
        }
        return false;
    }

    // Opens and starts the output if it is not, and keeps it so between sounds: a sound then
    // starts without connecting to the sound server. Chosen again when the environment changed;
    // a failed choice is tried again after a second.
    bool open_output()
    {
        output_environment wanted;
        {
            std::lock_guard<std::mutex> g(lock);
            wanted = askedEnvironment;
        }
        if (wanted != openedEnvironment)
        {
            close_output();
            openedEnvironment = wanted;
            failedAt = {};
        }
        if (started && !output_gone()) return true;
        if (started) close_output(); // its server went away: choose again
        if (failedAt != clock_type::time_point{} && clock_type::now() - failedAt < std::chrono::seconds(1))
            return false;
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
            // A small device buffer: the sound starts when it is written, not when a long buffer
            // has filled.
            out123_param2(output, OUT123_DEVICEBUFFER, 0, 0.05, nullptr);
            jackSocket = driver == "jack" ? wanted.jack_socket() : std::string();
            if (out123_open(output, driver.c_str(), device.empty() ? nullptr : device.c_str()) == OUT123_OK &&
                start_output())
            {
                failedAt = {};
                std::lock_guard<std::mutex> g(lock);
                openedName = entry;
                return true;
            }
            out123_del(output);
            output = nullptr;
            jackSocket.clear();
        }
        failedAt = clock_type::now(); // no output: decode silently
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
            bool sound = false, openNow = false, silence = false;
            {
                std::unique_lock<std::mutex> g(lock);
                const auto ready = [&]
                { return quitting || generation != handled || keepOpen != keepOpenSeen; };
                // Unless the sound board keeps it, the device is given back after a second without
                // sound and opened again at the next Play.
                if (!wake.wait_for(g, std::chrono::seconds(1), ready))
                {
                    if (!keepOpen)
                    {
                        g.unlock();
                        close_output();
                        g.lock();
                    }
                    wake.wait(g, ready);
                }
                if (quitting) return;
                openNow = keepOpen && keepOpen != keepOpenSeen;
                keepOpenSeen = keepOpen;
                if (generation != handled)
                {
                    handled = gen = generation;
                    sound = playing;
                    silence = !playing; // a Stop: also the end of a sound still in the output's buffer
                    path = current;
                    requested = playRequested;
                }
            }
            if (sound)
                play_file(path, gen, requested, buffer);
            else if (silence && started)
                out123_drop(output);
            if (openNow) open_output();
        }
    }

    bool still(unsigned long gen)
    {
        std::lock_guard<std::mutex> g(lock);
        return generation == gen && !quitting;
    }

    void started_sound(clock_type::time_point requested)
    {
        startLatencyUs =
            std::chrono::duration_cast<std::chrono::microseconds>(clock_type::now() - requested).count();
    }

    // Hands BYTES to the output at the current gain; false when the output failed (it is then
    // closed, and the rest of the sound is silent).
    bool write(unsigned char* bytes, size_t count)
    {
        if (!started) return true;
        apply_gain(bytes, count, outputEncoding, gain);
        if (out123_play(output, bytes, count) == count) return true;
        close_output();
        failedAt = clock_type::now();
        return false;
    }

    void play_file(const std::string& path, unsigned long gen, clock_type::time_point requested,
                   std::vector<unsigned char>& buffer)
    {
        const bool audible = open_output();
        if (audible) out123_drop(output); // what is left of the sound before
        const long rate = audible ? outputRate : 48000;
        const int encoding = audible ? outputEncoding : MPG123_ENC_SIGNED_16;
        const auto key = sound_cache::key_of(path, rate, encoding);
        if (const auto* whole = cache.find(key))
        {
            started_sound(requested);
            for (size_t at = 0; at < whole->size() && still(gen);)
            {
                const size_t n = std::min(buffer.size(), whole->size() - at);
                std::memcpy(buffer.data(), whole->data() + at, n);
                if (!write(buffer.data(), n)) break;
                at += n;
            }
            if (!still(gen) && started) out123_drop(output);
            return;
        }

        mpg123_handle* mh = mpg123_new(nullptr, nullptr);
        if (mh == nullptr) return;
        mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_FORCE_STEREO, 0);
        const long* rates = nullptr;
        size_t rateCount = 0;
        mpg123_rates(&rates, &rateCount);
        if (std::find(rates, rates + rateCount, rate) == rates + rateCount)
            mpg123_param(mh, MPG123_FORCE_RATE, rate, 0);
        mpg123_format_none(mh);
        mpg123_format(mh, rate, MPG123_STEREO, encoding);
        if (mpg123_open(mh, path.c_str()) != MPG123_OK)
        {
            mpg123_delete(mh);
            return;
        }
        std::vector<unsigned char> whole;
        bool first = true, complete = false, writing = true;
        while (still(gen))
        {
            size_t done = 0;
            const int err = mpg123_read(mh, buffer.data(), buffer.size(), &done);
            if (err == MPG123_NEW_FORMAT) continue;
            if (done == 0)
            {
                complete = err == MPG123_DONE;
                break; // the end, or a broken file
            }
            if (first) started_sound(requested);
            first = false;
            if (whole.size() + done <= sound_cache::max_sound_bytes)
                whole.insert(whole.end(), buffer.data(), buffer.data() + done);
            if (writing) writing = write(buffer.data(), done);
            if (err != MPG123_OK)
            {
                complete = err == MPG123_DONE;
                break;
            }
        }
        if (!still(gen) && started) out123_drop(output);
        if (complete) cache.add(key, std::move(whole));
        mpg123_close(mh);
        mpg123_delete(mh);
    }

    std::mutex lock, logLock;
    std::condition_variable wake;
    std::string current;
    unsigned long generation = 0, handled = 0;
    bool playing = false, quitting = false, keepOpen = false;
    clock_type::time_point playRequested;
    std::atomic<float> gain{1.0f};
    std::atomic<long long> startLatencyUs{-1};
    // The player thread's:
    out123_handle* output = nullptr;
    bool started = false, keepOpenSeen = false;
    std::string jackSocket; // of the open output's server, for a JACK output
    long outputRate = 0;
    int outputEncoding = 0;
    clock_type::time_point failedAt;
    output_environment openedEnvironment;
    sound_cache cache;
    output_environment askedEnvironment; // under the lock
    std::string openedName;              // under the lock
    std::thread worker;                  // last: starts once everything else is ready
};

player& the_player()
{
#ifdef _WIN32
    // Windows runs a library's destructors under the loader lock, which the worker needs to end:
    // joining it there never returns. So the library stays loaded (FreeLibrary leaves it, as
    // -z nodelete does elsewhere) and the player lives until the process ends.
    static player& p = []() -> player&
    {
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&the_player), &self);
        return *new player;
    }();
#else
    static player p; // joined when the process ends (the library is never unmapped)
#endif
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
// Non-zero: open the output now and keep it open between sounds (the sound board is in use);
// zero: give it back after a second without sound. Not in every player library: optional.
PLAYER_EXPORT int KeepOutputOpen(int on)
{
    the_player().keep_open(on != 0);
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
