#pragma once
// The channel between rx40-devsim and the virtual device: a Unix socket at a path on Linux; on
// Windows a named pipe whose name is made from that same path, so both sides find it the same
// way ($RX40_DEVSIM_SOCKET, else devsim.sock beside the programs).
#include <cstdint>
#include <cstdio>
#include <string>

namespace devsim
{
inline std::string pipe_name_for(const std::string& path)
{
    uint64_t h = 1469598103934665603ull; // FNV-1a, case-folded: Windows paths ignore case
    for (const char c : path)
    {
        const char folded = (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : (c == '/' ? '\\' : c);
        h = (h ^ (unsigned char)folded) * 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "\\\\.\\pipe\\rx40-devsim-%016llx", (unsigned long long)h);
    return name;
}
} // namespace devsim
