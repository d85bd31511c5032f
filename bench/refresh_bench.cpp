// Cost of one refresh_from_record of all pages (main page, quick page, EQ, light, information).
#include "pages/left_panel.h"
#include <chrono>
#include <cstdio>

int main()
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    left_panel page(devbridge_api{}); // no library: only the redraw is measured
    auto& record = page.device_link().record();
    constexpr int rounds = 20000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
    {
        record.volume1 = (uint8_t)(i % 9); // something to show each time
        record.eqPreset = (uint8_t)(i % 11);
        page.refresh_from_record(i % 2 == 0);
    }
    const auto end = std::chrono::steady_clock::now();
    std::printf("refresh_from_record of all pages: %.2f us\n",
                std::chrono::duration<double, std::micro>(end - start).count() / rounds);
    return 0;
}
