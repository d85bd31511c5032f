// The process list and the stop on Linux: /proc and SIGKILL.
#include "procsweep/sweep.h"
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

namespace procsweep
{
std::vector<process_entry> running_processes()
{
    std::vector<process_entry> list;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return list;
    while (const dirent* e = readdir(proc))
    {
        char* end = nullptr;
        const long pid = std::strtol(e->d_name, &end, 10);
        if (pid <= 0 || *end != 0) continue;
        char target[4096];
        const std::string link = std::string("/proc/") + e->d_name + "/exe";
        const ssize_t n = readlink(link.c_str(), target, sizeof(target) - 1);
        if (n <= 0) continue; // kernel threads, or another user's process without the rights
        std::string path(target, (size_t)n);
        const std::string deleted = " (deleted)"; // a program replaced while it runs
        if (path.size() > deleted.size() &&
            path.compare(path.size() - deleted.size(), deleted.size(), deleted) == 0)
            path.resize(path.size() - deleted.size());
        list.push_back({(int)pid, path.substr(path.find_last_of('/') + 1)});
    }
    closedir(proc);
    return list;
}

void kill_process(int pid)
{
    if (pid != getpid()) ::kill(pid, SIGKILL);
}

} // namespace procsweep
