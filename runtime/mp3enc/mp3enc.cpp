// MP3 encoder entry points on LAME: item 1 is a 16-bit PCM WAV input, item 2 the MP3 output,
// item 15 reads the bit rate. MPGE_processFrame encodes one step at a time until the end (1), or
// returns -1 when the output could not be written; MPGE_closeCoder returns non-zero when the file
// could not be completed, so a full disk is never taken for a finished file.
// Settings: constant 128 kbit/s, LAME quality 5, with the LAME/Info tag so decoders know the
// exact length.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <lame/lame.h>
#include <string>
#include <vector>

#ifdef _WIN32
#define MPGE_EXPORT extern "C" __declspec(dllexport)
#else
#define MPGE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{
constexpr int bitrate = 128, quality = 5, frames_per_step = 1152 * 8;

struct wav_input
{
    FILE* file = nullptr;
    int channels = 0, rate = 0;
    uint32_t dataLeft = 0;

    // RIFF/WAVE with a 16-bit PCM "fmt " chunk; positioned at the samples.
    bool open(const std::string& path)
    {
        file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) return false;
        unsigned char riff[12];
        if (std::fread(riff, 1, 12, file) != 12 || std::memcmp(riff, "RIFF", 4) != 0 ||
            std::memcmp(riff + 8, "WAVE", 4) != 0)
            return false;
        bool haveFormat = false;
        for (;;)
        {
            unsigned char head[8];
            if (std::fread(head, 1, 8, file) != 8) return false;
            const uint32_t size = (uint32_t)head[4] | (uint32_t)head[5] << 8 | (uint32_t)head[6] << 16 |
                                  (uint32_t)head[7] << 24;
            if (std::memcmp(head, "fmt ", 4) == 0)
            {
                unsigned char f[16];
                if (size < 16 || std::fread(f, 1, 16, file) != 16) return false;
                const int format = f[0] | f[1] << 8, bits = f[14] | f[15] << 8;
                channels = f[2] | f[3] << 8;
                rate =
                    (int)((uint32_t)f[4] | (uint32_t)f[5] << 8 | (uint32_t)f[6] << 16 | (uint32_t)f[7] << 24);
                if ((format != 1 && format != 0xFFFE) || bits != 16 || channels < 1 || channels > 2 ||
                    rate <= 0)
                    return false;
                haveFormat = true;
                if (std::fseek(file, (long)(size - 16 + (size & 1)), SEEK_CUR) != 0) return false;
            }
            else if (std::memcmp(head, "data", 4) == 0)
            {
                dataLeft = size;
                return haveFormat;
            }
            else if (std::fseek(file, (long)(size + (size & 1)), SEEK_CUR) != 0)
                return false;
        }
    }
    // Frames read into BUFFER (interleaved), 0 at the end.
    int read(std::vector<short>& buffer, int frames)
    {
        const uint32_t bytesPerFrame = (uint32_t)channels * 2;
        const uint32_t want = std::min<uint32_t>(dataLeft, (uint32_t)frames * bytesPerFrame);
        buffer.resize((size_t)frames * (size_t)channels);
        const size_t got = std::fread(buffer.data(), 1, want, file) / bytesPerFrame;
        dataLeft -= (uint32_t)(got * bytesPerFrame);
        if (got == 0) dataLeft = 0;
        return (int)got;
    }
    void close()
    {
        if (file != nullptr) std::fclose(file);
        file = nullptr;
    }
};

struct encoder
{
    std::string inputPath, outputPath;
    wav_input input;
    FILE* output = nullptr;
    lame_t lame = nullptr;
    bool finished = false, failed = false;
    std::vector<short> pcm;
    std::vector<unsigned char> mp3;

    void reset()
    {
        input.close();
        if (output != nullptr) std::fclose(output);
        output = nullptr;
        if (lame != nullptr) lame_close(lame);
        lame = nullptr;
        finished = false;
        failed = false;
    }
    int detect()
    {
        reset();
        if (inputPath.empty() || outputPath.empty() || !input.open(inputPath)) return -1;
        output = std::fopen(outputPath.c_str(), "wb+");
        if (output == nullptr) return -2;
        lame = lame_init();
        lame_set_in_samplerate(lame, input.rate);
        lame_set_num_channels(lame, input.channels);
        lame_set_mode(lame, input.channels == 1 ? MONO : JOINT_STEREO);
        lame_set_brate(lame, bitrate);
        lame_set_quality(lame, quality);
        lame_set_bWriteVbrTag(lame, 1);
        if (lame_init_params(lame) < 0) return -3;
        mp3.resize((size_t)(1.25 * frames_per_step + 7200));
        return 0;
    }
    bool write(int bytes)
    {
        return bytes >= 0 && std::fwrite(mp3.data(), 1, (size_t)bytes, output) == (size_t)bytes;
    }
    int fail()
    {
        failed = finished = true;
        return -1;
    }
    int process()
    {
        if (failed) return -1;
        if (lame == nullptr || finished) return 1;
        const int frames = input.read(pcm, frames_per_step);
        if (frames > 0)
        {
            const int bytes =
                input.channels == 1
                    ? lame_encode_buffer(lame, pcm.data(), pcm.data(), frames, mp3.data(), (int)mp3.size())
                    : lame_encode_buffer_interleaved(lame, pcm.data(), frames, mp3.data(), (int)mp3.size());
            return write(bytes) ? 0 : fail();
        }
        if (!write(lame_encode_flush(lame, mp3.data(), (int)mp3.size()))) return fail();
        lame_mp3_tags_fid(lame, output); // the length tag in the first frame
        if (std::fflush(output) != 0 || std::ferror(output)) return fail();
        finished = true;
        return 1;
    }
    // 0 when the whole file is on disk.
    int close()
    {
        while (lame != nullptr && !finished)
            process();
        input.close();
        bool ok = !failed && lame != nullptr;
        if (output != nullptr)
        {
            ok = std::fflush(output) == 0 && !std::ferror(output) && ok;
            ok = std::fclose(output) == 0 && ok;
        }
        output = nullptr;
        return ok ? 0 : -1;
    }
};

encoder& coder()
{
    static encoder e;
    return e;
}
} // namespace

MPGE_EXPORT int MPGE_initializeWork()
{
    coder().reset();
    coder().inputPath.clear();
    coder().outputPath.clear();
    return 0;
}

MPGE_EXPORT int MPGE_setConfigure(int item, int, const char* value)
{
    if (value == nullptr) return -1;
    if (item == 1)
        coder().inputPath = value;
    else if (item == 2)
        coder().outputPath = value;
    else
        return -1;
    return 0;
}

MPGE_EXPORT int MPGE_detectConfigure()
{
    return coder().detect();
}

MPGE_EXPORT int MPGE_getConfigure(int item, int* value)
{
    if (value == nullptr) return -1;
    if (item == 15)
        *value = bitrate;
    else
        return -1;
    return 0;
}

MPGE_EXPORT int MPGE_processFrame()
{
    return coder().process();
}

MPGE_EXPORT int MPGE_closeCoder()
{
    return coder().close();
}

MPGE_EXPORT int MPGE_endCoder()
{
    coder().reset();
    return 0;
}
