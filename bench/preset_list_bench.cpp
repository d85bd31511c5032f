// Loading and writing a 2048-preset list file and reading a 2048-preset online document, each
// beside a bare XmlDocument parse of the same text.
#include "presets/list_file.h"
#include <chrono>
#include <cstdio>

namespace
{
template <typename Work> double best_ms(int rounds, Work&& work)
{
    double best = 1e30;
    for (int i = 0; i < rounds; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::milli>(end - start).count());
    }
    return best;
}

double bare_parse_ms(const juce::String& text, int rounds)
{
    return best_ms(rounds, [&] { auto e = juce::XmlDocument::parse(text); });
}

void report(const char* what, double ms, double parseMs)
{
    std::printf("%-40s %8.2f ms   bare parse %8.2f ms   ratio %.2f\n", what, ms, parseMs, ms / parseMs);
}

// An online document of 2048 full presets (67 named items each).
juce::String online_document()
{
    juce::MemoryOutputStream text;
    text << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<effect_vk2max_list>\n";
    for (int i = 0; i < preset_list::capacity; ++i)
    {
        text << "<category description=\"preset " << i << "\">\n";
        for (int para = 1; para <= effect_preset::field_count; ++para)
        {
            const auto& f = field_of(para);
            text << "  <item " << f.key << "=\"" << (f.min + f.max) / 2 << "\"/>\n";
        }
        text << "</category>\n";
    }
    text << "</effect_vk2max_list>\n";
    return text.toUTF8();
}
} // namespace

int main()
{
    constexpr int rounds = 5;
    const auto document = online_document();
    preset_list list;
    const double readMs = best_ms(rounds,
                                  [&]
                                  {
                                      auto root = juce::XmlDocument::parse(document);
                                      read_online_list(*root, list, false);
                                  });
    report("read a 2048-preset online document", readMs, bare_parse_ms(document, rounds));

    const juce::TemporaryFile file(".xml");
    const double writeMs = best_ms(rounds, [&] { write_list_file(list, file.getFile()); });
    const auto written = file.getFile().loadFileAsString();
    report("write a 2048-preset list file", writeMs, bare_parse_ms(written, rounds));

    preset_list loaded;
    const double loadMs = best_ms(rounds, [&] { load_list_file(loaded, file.getFile(), false); });
    report("load a 2048-preset list file", loadMs, bare_parse_ms(written, rounds));
    std::printf("presets: read %d, loaded %d; file %lld bytes\n", list.count(), loaded.count(),
                (long long)file.getFile().getSize());
    return 0;
}
