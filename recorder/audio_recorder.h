#pragma once
#include "platform/critical_section.h"
#include "recorder/stereo_fifo.h"
#include "recorder/take_file_writer.h"
#include <atomic>
#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_utils/juce_audio_utils.h>

// Records the device's inputs to a WAV and a FLAC file at once (stereo, 16 bits, the device's
// rate) through buffered writers on the "Audio Recorder Thread", and feeds the live waveform.
// The audio callback only copies samples into lock-free FIFOs: it allocates nothing, waits for
// nothing and touches no file. The waveform is fed from its FIFO on the message thread.
class AudioRecorder : public juce::AudioIODeviceCallback, private juce::Timer
{
  public:
    explicit AudioRecorder(juce::AudioThumbnail& thumbnailToFeed);
    ~AudioRecorder() override;

    // False when nothing will be recorded: no sample rate, a file that cannot be opened, or a
    // writer that cannot be made (both files are then removed).
    bool start_recording(const juce::File& wavFile, const juce::File& flacFile);
    void stop_recording();
    bool recording() const { return activeWavWriter != nullptr; }

    // 1 while paused; set by the page only while a writer is active.
    std::atomic<int> paused{0};

    // Frames of the current or last take that a full FIFO could not take, for the file that
    // lost more; the page tells the user when a take lost any.
    int64_t dropped_frames() const { return std::max(wavDropped.load(), flacDropped.load()); }
    // Frames handed to the writers in the current or last take (not counting paused blocks).
    int64_t recorded_frames() const { return recordedFrames; }
    double sample_rate() const { return sampleRate; }
    // Message thread: moves what the audio thread recorded since into the live waveform (a
    // timer does this while recording).
    void feed_waveform();

    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;
    void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                          float* const* outputChannelData, int numOutputChannels,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;

    static constexpr int fifo_samples = 32768;

  private:
    void timerCallback() override { feed_waveform(); }

    juce::AudioThumbnail& thumbnail;
    juce::TimeSliceThread backgroundThread{"Audio Recorder Thread"};
    std::unique_ptr<take_file_writer> wavWriter, flacWriter;
    // Over a second of frames at 48 kHz: the waveform skips blocks only when the message thread
    // stalls that long.
    stereo_fifo waveform{65536};
    std::atomic<double> sampleRate{0.0};
    int64_t nextSampleNum = 0; // the waveform's, message thread
    platform::critical_section writerLock;
    take_file_writer* activeWavWriter = nullptr;
    take_file_writer* activeFlacWriter = nullptr;
    std::atomic<int64_t> wavDropped{0}, flacDropped{0}, recordedFrames{0};
};

// "data%d%d%d%d%d": month from 0, day, hour, minute, second, no leading zeros.
juce::String take_file_stem(const juce::Time& when);
