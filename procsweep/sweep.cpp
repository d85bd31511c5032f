#include "procsweep/sweep.h"
#include <cctype>

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
