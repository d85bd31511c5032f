#include "recorder/audio_recorder.h"
#include "tests/fake_audio_device.h"
#include <gtest/gtest.h>

namespace
{

struct recorder_engine : testing::Test
{
    juce::AudioFormatManager formats;
    juce::AudioThumbnailCache cache{4};
    juce::AudioThumbnail thumbnail{512, formats, cache};
    juce::TemporaryFile folder;
    std::unique_ptr<AudioRecorder> recorder = std::make_unique<AudioRecorder>(thumbnail);
    int64_t fed = 0;

    void SetUp() override
    {
        formats.registerBasicFormats();
        folder.getFile().createDirectory();
    }
    void TearDown() override
    {
        recorder.reset();
        folder.getFile().deleteRecursively();
    }
    juce::File file(const char* name) const { return folder.getFile().getChildFile(name); }
    void run_device(double rate)
    {
        fake_audio_device d(rate);
        recorder->audioDeviceAboutToStart(&d);
    }
    // One block whose samples count up from the frames fed so far; returns the outputs.
    std::vector<float> feed(int frames)
    {
        std::vector<float> left((size_t)frames), right((size_t)frames), outL((size_t)frames, 1.0f),
            outR((size_t)frames, 1.0f);
        for (int i = 0; i < frames; ++i)
        {
            left[(size_t)i] = (float)((fed + i) % 1000) / 2000.0f;
            right[(size_t)i] = -left[(size_t)i];
        }
        const float* in[2] = {left.data(), right.data()};
        float* out[3] = {outL.data(), nullptr, outR.data()};
        recorder->audioDeviceIOCallbackWithContext(in, 2, out, 3, frames, {});
        fed += frames;
        outL.insert(outL.end(), outR.begin(), outR.end());
        return outL;
    }
    std::unique_ptr<juce::AudioFormatReader> read(const char* name)
    {
        return std::unique_ptr<juce::AudioFormatReader>(formats.createReaderFor(file(name)));
    }
};
} // namespace

TEST_F(recorder_engine, nothing_is_recorded_without_a_rate_a_folder_or_a_take)
{
    // No take: the outputs are silenced and nothing is counted.
    recorder->paused = 1; // a pause before recording changes nothing
    for (float v : feed(256))
        EXPECT_EQ(v, 0.0f);
    EXPECT_EQ(recorder->recorded_frames(), 0);

    recorder->paused = 0;
    EXPECT_FALSE(recorder->start_recording(file("a.wav"), file("a.flac"))); // no device yet
    EXPECT_FALSE(file("a.wav").exists());
    run_device(48000);
    EXPECT_FALSE(recorder->start_recording(file("missing/a.wav"), file("missing/a.flac")));
    EXPECT_FALSE(recorder->recording());
    recorder->audioDeviceStopped();
    EXPECT_EQ(recorder->sample_rate(), 0.0);
}

TEST_F(recorder_engine, start_and_stop_at_once_leaves_two_empty_files)
{
    run_device(44100);
    ASSERT_TRUE(recorder->start_recording(file("a.wav"), file("a.flac")));
    EXPECT_TRUE(recorder->recording());
    recorder->stop_recording();
    for (auto* name : {"a.wav", "a.flac"})
    {
        auto r = read(name);
        ASSERT_NE(r, nullptr) << name;
        EXPECT_EQ(r->lengthInSamples, 0) << name;
        EXPECT_EQ(r->numChannels, 2u) << name;
        EXPECT_EQ(r->sampleRate, 44100.0) << name;
        EXPECT_EQ(r->bitsPerSample, 16u) << name;
    }
}

TEST_F(recorder_engine, paused_blocks_are_left_out_and_outputs_stay_silent)
{
    run_device(48000);
    ASSERT_TRUE(recorder->start_recording(file("b.wav"), file("b.flac")));
    std::vector<float> kept;
    auto keep = [&](int frames)
    {
        const int64_t first = fed;
        for (float v : feed(frames))
            EXPECT_EQ(v, 0.0f);
        for (int64_t i = first; i < first + frames; ++i)
            kept.push_back((float)(i % 1000) / 2000.0f);
    };
    keep(512);
    keep(512);
    recorder->paused = 1;
    feed(512);
    feed(300);
    recorder->paused = 0;
    keep(700);
    EXPECT_EQ(recorder->recorded_frames(), 1724);
    recorder->feed_waveform(); // the page's timer does this on the message thread
    EXPECT_NEAR((double)thumbnail.getNumSamplesFinished(), 1724, 512); // in steps of its resolution
    recorder->stop_recording();
    EXPECT_EQ(recorder->paused, 0);

    for (auto* name : {"b.wav", "b.flac"})
    {
        auto r = read(name);
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->lengthInSamples, 1724) << name;
        juce::AudioBuffer<float> got(2, 1724);
        r->read(&got, 0, 1724, 0, true, true);
        for (int i = 0; i < 1724; i += 97)
        {
            EXPECT_NEAR(got.getSample(0, i), kept[(size_t)i], 1.0 / 32768) << name << " " << i;
            EXPECT_NEAR(got.getSample(1, i), -kept[(size_t)i], 1.0 / 32768) << name << " " << i;
        }
    }
    EXPECT_EQ(recorder->dropped_frames(), 0);
}

TEST_F(recorder_engine, a_block_that_cannot_fit_is_counted_as_lost)
{
    run_device(48000);
    ASSERT_TRUE(recorder->start_recording(file("c.wav"), file("c.flac")));
    feed(AudioRecorder::fifo_samples + 100); // more than a FIFO holds: lost in both files
    // The time lost is that of one file, not the sum of both.
    EXPECT_EQ(recorder->dropped_frames(), AudioRecorder::fifo_samples + 100);
    recorder->stop_recording();
}

TEST(take_names, from_the_clock)
{
    EXPECT_EQ(take_file_stem(juce::Time(2026, 0, 1, 0, 0, 0)), "data01000");
    EXPECT_EQ(take_file_stem(juce::Time(2026, 2, 9, 14, 5, 7)), "data291457");
}
