#include "procsweep/sweep.h"
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace procsweep;

// Real processes: copies of sleep under names unique to this run, in a folder of its own.
TEST(procsweep_system, stops_its_own_processes_and_nothing_else)
{
    namespace fs = std::filesystem;
    const std::string tag = "swp" + std::to_string(getpid());
    const fs::path folder = fs::temp_directory_path() / (tag + "_bin");
    fs::create_directories(folder);
    auto copy_as = [&](const std::string& name)
    {
        fs::copy_file("/bin/sleep", folder / name, fs::copy_options::overwrite_existing);
        return (folder / name).string();
    };
    auto start = [](const std::string& path)
    {
        const pid_t pid = fork();
        if (pid == 0)
        {
            execl(path.c_str(), path.c_str(), "30", (char*)nullptr);
            _exit(127);
        }
        return pid;
    };
    const auto a = copy_as(tag + "a"), b = copy_as(tag + "B"), prefixed = copy_as("x" + tag + "B");
    const pid_t a1 = start(a), b1 = start(b), b2 = start(b), survivor = start(prefixed);
    std::this_thread::sleep_for(std::chrono::milliseconds(200)); // all exec'd
    const std::vector<std::string> table = {upper(tag + "a"), upper(tag + "b")};

    EXPECT_EQ(sweep(table, running_processes, kill_process), 3);
    for (pid_t pid : {a1, b1, b2})
    {
        int status = 0;
        EXPECT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << pid;
    }
    int status = 0;
    EXPECT_EQ(waitpid(survivor, &status, WNOHANG), 0); // still running
    kill(survivor, SIGKILL);
    waitpid(survivor, &status, 0);

    // Nothing left to stop: nothing asked.
    EXPECT_EQ(sweep(table, running_processes, kill_process), 0);
    fs::remove_all(folder);
}
