#include "platform/program_folder.h"
#include "recorder/mp3_export.h"
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <mpg123.h>
#include <unistd.h>

namespace
{
const juce::File dist(RX40_DIST_DIR);

// A two-second stereo 16-bit WAV of a tone.
void write_wav(const juce::File& file, int frames, double rate = 48000)
{
    file.deleteFile();
    juce::WavAudioFormat wav;
    std::unique_ptr<juce::AudioFormatWriter> writer(
        wav.createWriterFor(new juce::FileOutputStream(file), rate, 2, 16, {}, 0));
    juce::AudioBuffer<float> b(2, frames);
    for (int i = 0; i < frames; ++i)
        b.setSample(0, i, 0.5f * std::sin(i * 0.05f)), b.setSample(1, i, 0.5f * std::cos(i * 0.03f));
    writer->writeFromAudioSampleBuffer(b, 0, frames);
}

// Decoded length in frames, with the encoder's delay and padding taken off (gapless).
long decoded_frames(const juce::File& mp3)
{
    mpg123_handle* h = mpg123_new(nullptr, nullptr);
    mpg123_param(h, MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    if (mpg123_open(h, mp3.getFullPathName().toRawUTF8()) != MPG123_OK) return -1;
    mpg123_scan(h);
    const long frames = (long)mpg123_length(h);
    mpg123_close(h);
    mpg123_delete(h);
    return frames;
}

struct mp3_export : testing::Test
{
    juce::File library = mp3_encoder_file();
    juce::TemporaryFile wav{".wav"}, mp3{".mp3"};
    void SetUp() override { export_log_file().deleteFile(); }
    void TearDown() override
    {
        library.deleteFile();
        export_log_file().deleteFile();
    }
    void use_library(const char* name)
    {
        library.deleteFile();
        dist.getChildFile(name).createSymbolicLink(library, true);
    }
};
} // namespace

TEST_F(mp3_export, encodes_the_take_to_the_same_length_and_reports)
{
    use_library("mp3.so");
    write_wav(wav.getFile(), 96000);
    ASSERT_EQ(export_mp3(wav.getFile().getFullPathName(), mp3.getFile().getFullPathName()), 0);
    EXPECT_NEAR(decoded_frames(mp3.getFile()), 96000, 1152);

    // Two exports: two reports, the second separator right after the first output path.
    ASSERT_EQ(export_mp3(wav.getFile().getFullPathName(), mp3.getFile().getFullPathName()), 0);
    juce::StringArray lines;
    lines.addTokens(export_log_file().loadFileAsString(), "\n", "");
    ASSERT_EQ(lines.size(), 15);
    const auto bar = juce::String::repeatedString("=", 53);
    EXPECT_EQ(lines[0], bar + "\r");
    EXPECT_EQ(lines[1], "load mp3.dll fail?lasterror:00000000\r");
    EXPECT_TRUE(lines[2].startsWith("loadlibrary return:") && lines[2].length() == 19 + 8 + 1) << lines[2];
    EXPECT_TRUE(lines[3].startsWith("mp3,convert fail?,detect config return value:0,time is:")) << lines[3];
    EXPECT_EQ(lines[4], "infile:\r");
    EXPECT_EQ(lines[5], wav.getFile().getFullPathName() + "\r");
    EXPECT_EQ(lines[6], "outfile:\r");
    EXPECT_EQ(lines[7], mp3.getFile().getFullPathName() + bar + "\r");
}

TEST_F(mp3_export, failures)
{
    write_wav(wav.getFile(), 4800);
    // No library: three lines, a failure.
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), mp3.getFile().getFullPathName()), -1);
    EXPECT_EQ(export_log_file().loadFileAsString(), juce::String::repeatedString("=", 53) +
                                                        "\r\nload mp3.dll fail?lasterror:0000007E\r\n"
                                                        "loadlibrary return:00000000\r\n");
    // Input that is not a WAV, an output that cannot be created: the configuration is refused.
    use_library("mp3.so");
    const auto notWav = juce::File::createTempFile(".wav");
    notWav.replaceWithText("text");
    EXPECT_EQ(export_mp3(notWav.getFullPathName(), mp3.getFile().getFullPathName()), -1);
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), "/nonexistent/x.mp3"), -1);
    EXPECT_TRUE(export_log_file().loadFileAsString().contains("detect config return value:-2"))
        << export_log_file().loadFileAsString();
    notWav.deleteFile();
}

TEST_F(mp3_export, an_output_that_cannot_be_written_whole_fails)
{
    use_library("mp3.so");
    write_wav(wav.getFile(), 96000);
    // A full disk: the file opens, the writes fail (through a link, so nothing removes the device).
    juce::TemporaryFile full(".mp3");
    ASSERT_TRUE(juce::File("/dev/full").createSymbolicLink(full.getFile(), true));
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), full.getFile().getFullPathName()), -1);
    // A folder where no file can be made, whoever runs the test; and a read-only one for a user.
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), "/proc/take.mp3"), -1);
    if (geteuid() != 0)
    {
        juce::TemporaryFile folder;
        ASSERT_TRUE(folder.getFile().createDirectory());
        folder.getFile().setReadOnly(true);
        EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(),
                             folder.getFile().getChildFile("take.mp3").getFullPathName()),
                  -1);
        folder.getFile().setReadOnly(false);
        folder.getFile().deleteRecursively();
    }
    // The encoder is left ready for the next export.
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), mp3.getFile().getFullPathName()), 0);
}

TEST_F(mp3_export, a_library_lacking_an_entry_point_fails)
{
    // The loader keeps a library by its path: only meaningful in a process that has not kept
    // the real encoder loaded under the same name.
    if (dlopen(library.getFullPathName().toRawUTF8(), RTLD_NOW | RTLD_NOLOAD) != nullptr)
        GTEST_SKIP() << "the encoder is already loaded in this process";
    write_wav(wav.getFile(), 4800);
    use_library("devbridge.so");
    EXPECT_EQ(export_mp3(wav.getFile().getFullPathName(), mp3.getFile().getFullPathName()), -1);
    EXPECT_FALSE(export_log_file().loadFileAsString().contains("detect config"));
}
