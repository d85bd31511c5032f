#include "platform/program_arguments.h"
#include <cstdio>

#include <windows.h>

// After windows.h, which it needs.
#include <shellapi.h>

namespace platform
{
juce::StringArray program_arguments()
{
    juce::StringArray args;
    int count = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count))
    {
        for (int i = 1; i < count; ++i)
            args.add(juce::String(argv[i]));
        LocalFree(argv);
    }
    return args;
}

void attach_parent_console()
{
    // Redirected handles (a pipe or a file from a script) already work; only a bare console
    // start has none.
    auto missing = [](DWORD which)
    {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) == FILE_TYPE_UNKNOWN;
    };
    const bool outMissing = missing(STD_OUTPUT_HANDLE), errMissing = missing(STD_ERROR_HANDLE);
    if (!outMissing && !errMissing) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (outMissing) (void)!std::freopen("CONOUT$", "w", stdout);
    if (errMissing) (void)!std::freopen("CONOUT$", "w", stderr);
}
} // namespace platform
