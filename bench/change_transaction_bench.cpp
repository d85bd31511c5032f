// Cost of one change transaction (copy, edit, compare, store, send) with a no-op sender.
#include "device/ui_para.h"
#include <chrono>
#include <cstdio>

int main()
{
    int sends = 0;
    ui_para_store store([&](ui_para&) { ++sends; });
    constexpr int rounds = 2000000;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        store.change([i](ui_para& p) { p.volume1 = (uint8_t)(i & 7); });
    const auto changed = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i)
        store.change([](ui_para& p) { p.volume1 = p.volume1; });
    const auto end = std::chrono::steady_clock::now();
    auto ns = [](auto a, auto b) { return std::chrono::duration<double, std::nano>(b - a).count() / rounds; };
    std::printf("change transaction, byte changed (sent): %.1f ns\n", ns(start, changed));
    std::printf("change transaction, nothing changed:     %.1f ns\n", ns(changed, end));
    std::printf("sends: %d of %d\n", sends, 2 * rounds);
    return 0;
}
