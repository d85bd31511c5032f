// The process list and the stop on Windows: a Toolhelp snapshot, OpenProcess with full access
// and TerminateProcess with exit code 0; failures are passed over.
#include "procsweep/sweep.h"
#include <windows.h>

// After windows.h, which it needs.
#include <tlhelp32.h>

namespace procsweep
{
std::vector<process_entry> running_processes()
{
    std::vector<process_entry> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE || snapshot == nullptr) return list;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    {
        wchar_t name[MAX_PATH];
        lstrcpynW(name, entry.szExeFile, MAX_PATH);
        CharUpperW(name);
        char utf8[MAX_PATH * 4];
        const int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, (int)sizeof(utf8), nullptr, nullptr);
        if (n > 0) list.push_back({(int)entry.th32ProcessID, std::string(utf8)});
    }
    CloseHandle(snapshot);
    return list;
}

void kill_process(int pid)
{
    if ((DWORD)pid == GetCurrentProcessId()) return;
    HANDLE process = OpenProcess(0x1FFFFF, FALSE, (DWORD)pid);
    if (process == nullptr || process == INVALID_HANDLE_VALUE) return;
    TerminateProcess(process, 0);
    CloseHandle(process);
}
} // namespace procsweep
