// Synthesises the demo sound effects and encodes them to MP3 with LAME:
//   make_demo_sounds OUTPUT_FOLDER
#include <cmath>
#include <cstdio>
#include <functional>
#include <lame/lame.h>
#include <random>
#include <string>
#include <vector>

namespace
{
constexpr int rate = 44100;
constexpr double pi = 3.14159265358979323846;

bool encode(const std::string& file, const std::vector<short>& pcm)
{
    lame_t lame = lame_init();
    lame_set_in_samplerate(lame, rate);
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, 96);
    lame_set_quality(lame, 5);
    if (lame_init_params(lame) < 0) return false;
    std::vector<unsigned char> mp3(pcm.size() * 5 / 4 + 7200 + 7200);
    int n = lame_encode_buffer(lame, pcm.data(), pcm.data(), (int)pcm.size(), mp3.data(), (int)mp3.size());
    if (n < 0) return false;
    const int tail = lame_encode_flush(lame, mp3.data() + n, (int)mp3.size() - n);
    lame_close(lame);
    if (tail < 0) return false;
    FILE* f = std::fopen(file.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(mp3.data(), 1, (size_t)(n + tail), f) == (size_t)(n + tail);
    return std::fclose(f) == 0 && ok;
}

std::vector<short> synth(double seconds, const std::function<double(double)>& wave)
{
    std::vector<short> pcm((size_t)(seconds * rate));
    for (size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = (short)std::lround(32767.0 * 0.8 * std::max(-1.0, std::min(1.0, wave((double)i / rate))));
    return pcm;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    std::mt19937 noise(7);
    std::uniform_real_distribution<double> white(-1.0, 1.0);
    struct effect
    {
        const char* name;
        std::vector<short> pcm;
    } effects[] = {
        // a bell: two partials dying away
        {"ding", synth(1.2,
                       [](double t) {
                           return std::exp(-3 * t) *
                                  (0.7 * std::sin(2 * pi * 880 * t) + 0.3 * std::sin(2 * pi * 2210 * t));
                       })},
        // a rising sweep
        {"sweep",
         synth(1.0, [](double t)
               { return 0.8 * std::sin(2 * pi * (200 * t + 600 * t * t)) * std::min(1.0, (1.0 - t) * 10); })},
        // two short beeps
        {"beep",
         synth(0.6, [](double t)
               { return (t < 0.2 || (t > 0.3 && t < 0.5)) ? 0.6 * std::sin(2 * pi * 1000 * t) : 0.0; })},
        // a drum hit: a falling tone with a burst of noise
        {"drum", synth(0.8,
                       [&](double t)
                       {
                           return std::exp(-6 * t) * (std::sin(2 * pi * (120 - 40 * t) * t) +
                                                      0.3 * white(noise) * std::exp(-30 * t));
                       })},
    };
    for (auto& e : effects)
        if (!encode(out + e.name + ".mp3", e.pcm))
        {
            std::fprintf(stderr, "cannot write %s%s.mp3\n", out.c_str(), e.name);
            return 1;
        }
    return 0;
}
