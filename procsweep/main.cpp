// Stops every running copy of the panel and of the maker's related programs, so an installer
// can replace their files. No arguments, no output, exit code 0 always.
#include "procsweep/sweep.h"

int main()
{
    procsweep::sweep(procsweep::target_names(), procsweep::running_processes, procsweep::kill_process);
    return 0;
}
