// Recorder figures: the MP3 export of a 10-minute take beside the lame command-line encoder on
// the same WAV with the same settings (-b 128 -q 5), and the audio callback's cost per block
// while recording.
#include "platform/program_folder.h"
#include "recorder/audio_recorder.h"
#include "recorder/mp3_export.h"
#include "tests/fake_audio_device.h"
#include <chrono>
#include <cstdio>

namespace
{
using clock_type = std::chrono::steady_clock;
double seconds_since(clock_type::time_point t)
{
    return std::chrono::duration<double>(clock_type::now() - t).count();
}

} // namespace

int main()
{
    juce::ScopedJuceInitialiser_GUI juceInit;
    const auto folder = juce::File::createTempFile("rx40bench");
    folder.createDirectory();
    const auto wav = folder.getChildFile("take.wav");
    constexpr int rate = 48000, minutes = 10;
    {
        juce::WavAudioFormat format;
        std::unique_ptr<juce::AudioFormatWriter> writer(
            format.createWriterFor(new juce::FileOutputStream(wav), rate, 2, 16, {}, 0));
        juce::AudioBuffer<float> block(2, rate);
        juce::Random random(1);
        for (int s = 0; s < minutes * 60; ++s)
        {
            for (int i = 0; i < rate; ++i)
            {
                const float tone = 0.3f * std::sin((float)(s * rate + i) * 0.031f);
                block.setSample(0, i, tone + 0.05f * (random.nextFloat() - 0.5f));
                block.setSample(1, i, -tone);
            }
            writer->writeFromAudioSampleBuffer(block, 0, rate);
        }
    }
    // The encoder library beside the benchmark, as the panel has it.
    mp3_encoder_file().deleteFile();
    juce::File(RX40_DIST_DIR).getChildFile("mp3.so").createSymbolicLink(mp3_encoder_file(), true);
    auto t = clock_type::now();
    const int result = export_mp3(wav.getFullPathName(), folder.getChildFile("ours.mp3").getFullPathName());
    const double ours = seconds_since(t);
    t = clock_type::now();
    const auto command = "lame --quiet -b 128 -q 5 '" + wav.getFullPathName() + "' '" +
                         folder.getChildFile("lame.mp3").getFullPathName() + "'";
    const int lameResult = std::system(command.toRawUTF8());
    const double lame = seconds_since(t);
    std::printf("MP3 export of a %d-minute take: %.2f s (result %d); lame -b 128 -q 5: %.2f s (exit %d); "
                "ratio %.2f\n",
                minutes, ours, result, lame, lameResult, ours / lame);
    std::printf("output sizes: ours %lld bytes, lame %lld bytes\n",
                (long long)folder.getChildFile("ours.mp3").getSize(),
                (long long)folder.getChildFile("lame.mp3").getSize());
    mp3_encoder_file().deleteFile();
    export_log_file().deleteFile();

    // The callback while recording: 512-frame blocks as fast as they can be given, paced so the
    // FIFOs never fill (the writer thread keeps up at real-time rates by a wide margin).
    juce::AudioFormatManager formats;
    juce::AudioThumbnailCache cache(4);
    juce::AudioThumbnail thumbnail(512, formats, cache);
    AudioRecorder recorder(thumbnail);
    fake_audio_device device;
    recorder.audioDeviceAboutToStart(&device);
    recorder.start_recording(folder.getChildFile("r.wav"), folder.getChildFile("r.flac"));
    std::vector<float> l(512, 0.1f), r(512, -0.1f), o1(512), o2(512);
    const float* in[2] = {l.data(), r.data()};
    float* out[2] = {o1.data(), o2.data()};
    double total = 0, worst = 0;
    constexpr int blocks = 2000;
    for (int i = 0; i < blocks; ++i)
    {
        const auto s = clock_type::now();
        recorder.audioDeviceIOCallbackWithContext(in, 2, out, 2, 512, {});
        const double us = seconds_since(s) * 1e6;
        total += us;
        worst = std::max(worst, us);
        juce::Thread::sleep(1); // about 10 times real time
    }
    recorder.stop_recording();
    std::printf("audio callback while recording (512 frames, 2 channels): mean %.2f us, worst %.2f us, lost "
                "%lld frames\n",
                total / blocks, worst, (long long)recorder.dropped_frames());
    folder.deleteRecursively();
    return 0;
}
