#include "procsweep/sweep.h"
#include <algorithm>
#include <gtest/gtest.h>

using namespace procsweep;

TEST(procsweep_core, whole_names_in_any_case)
{
    const std::vector<std::string> table = {"RX40PANEL", "TAVRISETUP"};
    const std::vector<process_entry> procs = {
        {10, "rx40panel"},  {11, "RX40PANEL"},  {12, "Rx40Panel"}, {13, "xrx40panel"},
        {14, "rx40panel2"}, {15, "tavrisetup"}, {16, "bash"},      {17, ""},
    };
    std::vector<int> stopped;
    EXPECT_EQ(sweep(
                  table, [&] { return procs; }, [&](int pid) { stopped.push_back(pid); }),
              4);
    EXPECT_EQ(stopped, (std::vector<int>{10, 11, 12, 15}));
    EXPECT_EQ(sweep(
                  table, [] { return std::vector<process_entry>{}; }, [](int) { FAIL(); }),
              0);
}

TEST(procsweep_core, the_table_holds_twelve_names_with_the_panel)
{
    const auto& names = target_names();
    EXPECT_EQ(names.size(), 12u);
#if defined(_WIN32)
    const std::string panel = "RX40PANEL.EXE"; // image names carry their extension there
#else
    const std::string panel = "RX40PANEL";
#endif
    EXPECT_NE(std::find(names.begin(), names.end(), panel), names.end());
    for (const auto& n : names)
        EXPECT_EQ(n, upper(n));
}
