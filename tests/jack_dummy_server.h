#pragma once
// A JACK server on the dummy backend for one test or benchmark, under a fixed name: JACK reuses
// the registry slot of a dead server only when the name is the same, so names made unique per
// run would fill its few slots whenever a run is killed. Stopped with SIGTERM, which lets it
// leave the registry.
#include <cstdlib>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

class jack_dummy_server
{
  public:
    // Starts "jackd -n NAME" at 48 kHz with PERIOD frames and makes it the default server of
    // this process and its children; running() tells whether it came up.
    jack_dummy_server(const std::string& name, int period)
    {
        setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
        setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
        const std::string p = std::to_string(period);
        const char* args[] = {"jackd", "-n",    name.c_str(), "--no-realtime", "-d", "dummy",
                              "-r",    "48000", "-p",         p.c_str(),       "-C", "2",
                              "-P",    "2",     nullptr};
        posix_spawn_file_actions_t quiet;
        posix_spawn_file_actions_init(&quiet);
        posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid, "jackd", &quiet, nullptr, const_cast<char**>(args), environ) != 0) pid = 0;
        posix_spawn_file_actions_destroy(&quiet);
        const std::string socket = "/dev/shm/jack_" + name + "_" + std::to_string(getuid()) + "_0";
        for (int i = 0; i < 100 && pid != 0 && access(socket.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        up = pid != 0 && access(socket.c_str(), F_OK) == 0;
    }
    ~jack_dummy_server() { stop(); }
    bool running() const { return up; }
    void stop()
    {
        if (pid == 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        pid = 0;
        up = false;
    }

  private:
    pid_t pid = 0;
    bool up = false;
};
