// The process stopper on a Toolhelp snapshot: copies of a waiting program under names unique to
// this run are stopped, a name that only contains one of them is not.
#include "procsweep/sweep.h"
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

// Windows' own header last: its macros must not reach the others.
#include <windows.h>

using namespace procsweep;

namespace
{
std::filesystem::path own_folder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

HANDLE start(const std::filesystem::path& exe)
{
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + exe.wstring() + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}
} // namespace

TEST(procsweep_system, stops_its_own_processes_and_nothing_else)
{
    namespace fs = std::filesystem;
    const std::string tag = "swp" + std::to_string(GetCurrentProcessId());
    const fs::path folder = fs::temp_directory_path() / (tag + "_bin");
    fs::create_directories(folder);
    auto copy_as = [&](const std::string& name)
    {
        fs::copy_file(own_folder() / RX40_SLEEPER, folder / name, fs::copy_options::overwrite_existing);
        return folder / name;
    };
    const auto a = copy_as(tag + "a.exe"), b = copy_as(tag + "B.exe"),
               prefixed = copy_as("x" + tag + "B.exe");
    HANDLE a1 = start(a), b1 = start(b), b2 = start(b), survivor = start(prefixed);
    for (HANDLE h : {a1, b1, b2, survivor})
        ASSERT_NE(h, nullptr);
    Sleep(300); // all in the snapshot
    const std::vector<std::string> table = {upper(tag + "a.exe"), upper(tag + "b.exe")};

    EXPECT_EQ(sweep(table, running_processes, kill_process), 3);
    for (HANDLE h : {a1, b1, b2})
    {
        EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
        DWORD code = 1;
        GetExitCodeProcess(h, &code);
        EXPECT_EQ(code, 0u); // TerminateProcess with exit code 0
        CloseHandle(h);
    }
    EXPECT_EQ(WaitForSingleObject(survivor, 0), (DWORD)WAIT_TIMEOUT); // still running
    TerminateProcess(survivor, 1);
    WaitForSingleObject(survivor, 5000);
    CloseHandle(survivor);

    // Nothing left to stop: nothing asked. Its own process is never stopped.
    EXPECT_EQ(sweep(table, running_processes, kill_process), 0);
    kill_process((int)GetCurrentProcessId());
    fs::remove_all(folder);
}
