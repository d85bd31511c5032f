#include "procsweep/sweep.h"
#include <cctype>
#include <csignal>
#include <dirent.h>
#include <unistd.h>

namespace procsweep
{
std::string upper(std::string name)
{
    for (auto& c : name)
        c = (char)std::toupper((unsigned char)c);
    return name;
}

int sweep(const std::vector<std::string>& table, const process_source& source, const process_stopper& stop)
{
    int stops = 0;
    for (const auto& process : source())
    {
        const auto name = upper(process.exe_name);
        for (const auto& target : table)
            if (name == target)
            {
                stop(process.pid);
                ++stops;
            }
    }
    return stops;
}

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

const std::vector<std::string>& target_names()
{
#if defined(_WIN32)
#define EXE ".EXE"
#else
#define EXE ""
#endif
    // The panel under its current and earlier names, the mini panel, the background AI service,
    // the generic panel and the installer.
    static const std::vector<std::string> names = {
        "RX40PANEL" EXE,      "RX40CONTROL" EXE,    "RX40CP" EXE,     "KQ3PANEL" EXE,
        "KQ3CONTROL" EXE,     "LN7PANEL" EXE,       "TAVRIPANEL" EXE, "TAVRICP" EXE,
        "TAVRIMINIPANEL" EXE, "TAVRIAISERVICE" EXE, "TAVRIHUB" EXE,   "TAVRISETUP" EXE,
    };
#undef EXE
    return names;
}
} // namespace procsweep
