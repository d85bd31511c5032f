// The virtual device behind the device control library's entry points. It calls the panel
// back from its own thread, as a real library does, and takes commands from rx40-devsim over
// a local socket.
#include "device_model.h"
#include "devsim_channel.h"
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#ifdef _WIN32
#include <windows.h>
#define DEVBRIDGE_EXPORT extern "C" __declspec(dllexport)
#else
#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#define DEVBRIDGE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{
using clock_type = std::chrono::steady_clock;
using callback_type = void (*)(int);

struct pending_event
{
    clock_type::time_point due;
    int code;
};

// Lives for the process: the library is never unloaded and its threads never stop.
struct simulator
{
    std::mutex lock;
    std::condition_variable wake;
    devsim::device_model device;
    std::deque<pending_event> events;
    std::vector<std::string> log;
    callback_type callback = nullptr;
    bool started = false;
    clock_type::time_point nextBattery;

    void queue(int code, int delayMs = 0)
    {
        const auto due = clock_type::now() + std::chrono::milliseconds(delayMs);
        auto it = events.begin();
        while (it != events.end() && it->due <= due)
            ++it;
        events.insert(it, {due, code});
        wake.notify_all();
    }

    void append_log(const std::string& line)
    {
        log.push_back(line);
        if (const char* path = std::getenv("RX40_DEVSIM_LOG"); path != nullptr && *path != 0)
        {
            if (FILE* f = std::fopen(path, "a"))
            {
                std::fprintf(f, "%s\n", line.c_str());
                std::fclose(f);
            }
        }
    }

    // The sequence a unit sends when it is plugged in.
    void connect(const std::string& model, int delayMs)
    {
        device.reset_for(model);
        device.connected = true;
        queue(7, delayMs);
        queue(2, delayMs + 150);
        queue(3, delayMs + 250);
        if (device.wireless())
        {
            queue(15, delayMs + 350);
            queue(16, delayMs + 400);
            queue(4, delayMs + 500);
        }
        nextBattery = clock_type::now() + std::chrono::milliseconds(delayMs + 4000);
    }

    void disconnect()
    {
        device.connected = false;
        events.clear();
        queue(1);
    }
};

simulator& sim()
{
    static simulator* s = new simulator; // never freed: callers may outlive static destruction
    return *s;
}

void run_device_thread()
{
    auto& s = sim();
    std::unique_lock<std::mutex> lock(s.lock);
    for (;;)
    {
        const auto now = clock_type::now();
        if (s.device.connected && s.device.wireless() && now >= s.nextBattery)
        {
            s.queue(4);
            s.nextBattery = now + std::chrono::seconds(4);
        }
        if (!s.events.empty() && s.events.front().due <= now)
        {
            const int code = s.events.front().code;
            s.events.pop_front();
            auto callback = s.callback;
            lock.unlock();
            if (callback != nullptr) callback(code);
            lock.lock();
            continue;
        }
        auto until = now + std::chrono::seconds(1);
        if (!s.events.empty() && s.events.front().due < until) until = s.events.front().due;
        s.wake.wait_until(lock, until);
    }
}

std::vector<std::string> split_words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text)
    {
        if (c == 0)
        {
            words.push_back(word);
            word.clear();
        }
        else
            word += c;
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

struct reply
{
    bool ok = true;
    std::string text;
};

reply fail(const std::string& message)
{
    return {false, message + "\n"};
}

// One rx40-devsim command; runs under the simulator lock.
reply run_command(simulator& s, const std::vector<std::string>& args)
{
    if (args.empty()) return fail("no command given");
    const std::string& command = args[0];
    if (command == "connect")
    {
        if (args.size() > 2) return fail("usage: connect [MODEL]");
        std::string model = args.size() == 2 ? args[1] : s.device.model;
        if (model.empty() || model.size() > 49) return fail("the model name must be 1 to 49 characters");
        const bool wasConnected = s.device.connected;
        if (wasConnected) s.disconnect();
        s.connect(model, wasConnected ? 300 : 100);
        return {};
    }
    if (command == "disconnect")
    {
        if (args.size() != 1) return fail("usage: disconnect");
        s.disconnect();
        return {};
    }
    if (command == "event")
    {
        long code = 0;
        if (args.size() != 2 || !devsim::parse_number(args[1], 255, code))
            return fail("usage: event CODE (0-255)");
        s.queue((int)code);
        return {};
    }
    if (command == "set")
    {
        if (args.size() < 2) return fail("usage: set FIELD=VALUE ...");
        auto record = s.device.record;
        for (size_t i = 1; i < args.size(); ++i)
        {
            const auto eq = args[i].find('=');
            const int index = eq == std::string::npos ? -1 : devsim::field_index(args[i].substr(0, eq));
            long value = 0;
            if (index < 0) return fail("unknown field in '" + args[i] + "'");
            if (!devsim::parse_number(args[i].substr(eq + 1), 255, value))
                return fail("value in '" + args[i] + "' must be 0-255");
            record[(size_t)index] = (uint8_t)value;
        }
        s.device.record = record;
        s.queue(3);
        return {};
    }
    if (command == "battery")
    {
        long value = 0;
        if (args.size() != 2 || !devsim::parse_number(args[1], 255, value))
            return fail("usage: battery BYTE (0-255)");
        s.device.record[22] = (uint8_t)value;
        s.queue(4);
        return {};
    }
    if (command == "info")
    {
        size_t first = 1;
        auto* fields = &s.device.info;
        if (args.size() > 1 && args[1] == "--linked")
        {
            fields = &s.device.linked;
            first = 2;
        }
        if (args.size() <= first) return fail("usage: info [--linked] FIELD=TEXT ...");
        auto updated = *fields;
        for (size_t i = first; i < args.size(); ++i)
        {
            const auto eq = args[i].find('=');
            const std::string name = eq == std::string::npos ? args[i] : args[i].substr(0, eq);
            std::string* field = name == "name"       ? &updated.name
                                 : name == "model"    ? &updated.model
                                 : name == "firmware" ? &updated.firmware
                                 : name == "hardware" ? &updated.hardware
                                 : name == "serial"   ? &updated.serial
                                                      : nullptr;
            if (field == nullptr || eq == std::string::npos)
                return fail("unknown field in '" + args[i] + "' (name, model, firmware, hardware, serial)");
            *field = args[i].substr(eq + 1);
            if (field->size() > 49) return fail("'" + name + "' is longer than 49 bytes");
        }
        *fields = updated;
        return {};
    }
    if (command == "record")
    {
        if (args.size() != 1) return fail("usage: record");
        return {true, devsim::hex(s.device.record.data(), 27) + "\n"};
    }
    if (command == "log")
    {
        const bool clear = args.size() == 2 && args[1] == "--clear";
        if (args.size() > 2 || (args.size() == 2 && !clear)) return fail("usage: log [--clear]");
        reply r;
        for (const auto& line : s.log)
            r.text += line + "\n";
        if (clear) s.log.clear();
        return r;
    }
    return fail("unknown command '" + command + "'");
}

// The channel's answer to one request: "0" or "1" for success or failure, a line feed, the text.
std::string answer_to(const std::string& request)
{
    reply r;
    {
        auto& s = sim();
        std::lock_guard<std::mutex> lock(s.lock);
        r = run_command(s, split_words(request));
    }
    return (r.ok ? "0\n" : "1\n") + r.text;
}

#ifdef _WIN32
std::string library_folder()
{
    HMODULE self = nullptr;
    char path[MAX_PATH] = {};
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&run_device_thread), &self) &&
        GetModuleFileNameA(self, path, MAX_PATH) > 0)
    {
        std::string folder = path;
        const auto slash = folder.find_last_of("\\/");
        if (slash != std::string::npos) return folder.substr(0, slash);
    }
    return ".";
}

// One command per connection: a message in, the answer out, then the next client.
void serve(std::string pipeName)
{
    for (;;)
    {
        HANDLE pipe = CreateNamedPipeA(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                       PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT |
                                           PIPE_REJECT_REMOTE_CLIENTS,
                                       PIPE_UNLIMITED_INSTANCES, 65536, 65536, 0, nullptr);
        if (pipe == INVALID_HANDLE_VALUE) return;
        if (!ConnectNamedPipe(pipe, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
        {
            CloseHandle(pipe);
            continue;
        }
        std::string request;
        char buffer[4096];
        for (;;)
        {
            DWORD n = 0;
            const BOOL ok = ReadFile(pipe, buffer, sizeof(buffer), &n, nullptr);
            request.append(buffer, n);
            if (ok || GetLastError() != ERROR_MORE_DATA || request.size() > 65536) break;
        }
        const std::string answer = answer_to(request);
        DWORD written = 0;
        WriteFile(pipe, answer.data(), (DWORD)answer.size(), &written, nullptr);
        FlushFileBuffers(pipe);
        DisconnectNamedPipe(pipe);
        CloseHandle(pipe);
    }
}

void start_server()
{
    const char* env = std::getenv("RX40_DEVSIM_SOCKET");
    const std::string path = env != nullptr && *env != 0 ? env : library_folder() + "\\devsim.sock";
    std::thread(serve, devsim::pipe_name_for(path)).detach();
}
#else
std::string library_folder()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&run_device_thread), &info) != 0 && info.dli_fname != nullptr)
    {
        std::string path = info.dli_fname;
        const auto slash = path.rfind('/');
        if (slash != std::string::npos) return path.substr(0, slash);
    }
    return ".";
}

void serve(int listenFd)
{
    for (;;)
    {
        const int client = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
        {
            if (errno == EINTR) continue;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            continue;
        }
        std::string request;
        char buffer[4096];
        pollfd p{client, POLLIN, 0};
        while (request.size() < 65536 && poll(&p, 1, 2000) > 0)
        {
            const ssize_t n = read(client, buffer, sizeof(buffer));
            if (n <= 0) break;
            request.append(buffer, (size_t)n);
        }
        const std::string answer = answer_to(request);
        size_t sent = 0;
        while (sent < answer.size())
        {
            const ssize_t n = send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += (size_t)n;
        }
        close(client);
    }
}

void start_server()
{
    const char* env = std::getenv("RX40_DEVSIM_SOCKET");
    const std::string path = env != nullptr && *env != 0 ? env : library_folder() + "/devsim.sock";
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof(addr.sun_path))
    {
        std::fprintf(stderr, "devbridge: socket path too long: %s\n", path.c_str());
        return;
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    unlink(path.c_str());
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(fd, 8) != 0)
    {
        std::fprintf(stderr, "devbridge: cannot listen on %s: %s\n", path.c_str(), std::strerror(errno));
        close(fd);
        return;
    }
    std::thread(serve, fd).detach();
}

#endif

std::string hex_line(const char* name, const unsigned char* bytes, size_t count)
{
    return std::string(name) + " " + devsim::hex(bytes, count);
}
} // namespace

DEVBRIDGE_EXPORT int initHIDCtrl(callback_type callback)
{
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.callback = callback;
    if (s.started) return 0;
    s.started = true;

    const char* env = std::getenv("RX40_DEVSIM_MODEL");
    const std::string model = env != nullptr && *env != 0 ? env : "KQ3";
    if (model == "none")
        s.device.reset_for("KQ3");
    else
    {
        long delay = 500;
        const char* delayText = std::getenv("RX40_DEVSIM_DELAY_MS");
        if (delayText != nullptr && !devsim::parse_number(delayText, 60000, delay)) delay = 500;
        s.connect(model.substr(0, 49), (int)delay);
    }
    std::thread(run_device_thread).detach();
    start_server();
    return 0;
}

DEVBRIDGE_EXPORT int SendUIPara(unsigned char* para)
{
    if (para == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.append_log(hex_line("SendUIPara", para, 27));
    // Bytes 22-26 are the device's own state.
    std::memcpy(s.device.record.data(), para, 22);
    return s.device.connected ? 0 : -1;
}

DEVBRIDGE_EXPORT int getUIPara(unsigned char* para)
{
    if (para == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    std::memcpy(para, s.device.record.data(), 27);
    return 0;
}

DEVBRIDGE_EXPORT int getDeviceInfo(unsigned char* buffer)
{
    if (buffer == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.device.info.write_to(buffer);
    return 0;
}

DEVBRIDGE_EXPORT int getConDeviceInfo(unsigned char* buffer)
{
    if (buffer == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.device.linked.write_to(buffer);
    return 0;
}

DEVBRIDGE_EXPORT int getUpdateInfo(int* value, unsigned char* current, unsigned char* latest,
                                   unsigned char* notes)
{
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    if (value != nullptr) *value = 0;
    if (current != nullptr)
        std::snprintf(reinterpret_cast<char*>(current), 20, "%s", s.device.info.firmware.c_str());
    if (latest != nullptr)
        std::snprintf(reinterpret_cast<char*>(latest), 20, "%s", s.device.info.firmware.c_str());
    if (notes != nullptr) notes[0] = 0;
    return 0;
}

DEVBRIDGE_EXPORT int SendUIParaP12MIC(unsigned char* block)
{
    if (block == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.append_log(hex_line("SendUIParaP12MIC", block, 26));
    return 0;
}

DEVBRIDGE_EXPORT int SendUIParaP12Setting(unsigned char* preset)
{
    if (preset == nullptr) return -1;
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.append_log(hex_line("SendUIParaP12Setting", preset, 98));
    return 0;
}

DEVBRIDGE_EXPORT int SetEnv(int a, int b)
{
    auto& s = sim();
    std::lock_guard<std::mutex> lock(s.lock);
    s.append_log("SetEnv " + std::to_string(a) + " " + std::to_string(b));
    return 0;
}
