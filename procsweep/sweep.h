#pragma once
#include <functional>
#include <string>
#include <vector>

// The process stopper's core: every process whose executable file name, upper-cased, equals a
// name of the table whole is stopped. The process source and the stop are parameters, so the
// core is tested without touching processes it did not start.
namespace procsweep
{
struct process_entry
{
    int pid = 0;
    std::string exe_name; // the executable's file name, as the system gives it
};

using process_source = std::function<std::vector<process_entry>()>;
using process_stopper = std::function<void(int pid)>; // failures are ignored

std::string upper(std::string name);
// Tries every table entry for every process, in order; a process matching two entries is
// stopped twice, as a second stop of a stopped process does nothing. Returns the stops asked.
int sweep(const std::vector<std::string>& table, const process_source& source, const process_stopper& stop);

// This system's processes (/proc: each process's executable, not its 15-character name) and
// its stop (SIGKILL).
std::vector<process_entry> running_processes();
void kill_process(int pid);

// The installation's twelve image names.
const std::vector<std::string>& target_names();
} // namespace procsweep
