#pragma once
#include "platform/critical_section.h"
#include <atomic>
#include <juce_audio_devices/juce_audio_devices.h>
#include <juce_audio_formats/juce_audio_formats.h>
#include <juce_audio_utils/juce_audio_utils.h>

// Records the device's inputs to a WAV and a FLAC file at once (stereo, 16 bits, the device's
// rate) through buffered writers on the "Audio Recorder Thread", and feeds the live waveform.
// The audio callback allocates nothing and touches no file.
class AudioRecorder : public juce::AudioIODeviceCallback
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

    // Blocks of the current or last take that a full FIFO could not take, in sample frames,
    // for either file; the page tells the user when a take lost any.
    int64_t dropped_frames() const { return droppedFrames; }
    // Frames handed to the writers in the current or last take (not counting paused blocks).
    int64_t recorded_frames() const { return recordedFrames; }
    double sample_rate() const { return sampleRate; }

    void audioDeviceAboutToStart(juce::AudioIODevice* device) override;
    void audioDeviceStopped() override;
    void audioDeviceIOCallbackWithContext(const float* const* inputChannelData, int numInputChannels,
                                          float* const* outputChannelData, int numOutputChannels,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& context) override;

    static constexpr int fifo_samples = 32768;

  private:
    juce::AudioThumbnail& thumbnail;
    juce::TimeSliceThread backgroundThread{"Audio Recorder Thread"};
    std::unique_ptr<juce::AudioFormatWriter::ThreadedWriter> wavWriter, flacWriter;
    std::atomic<double> sampleRate{0.0};
    int64_t nextSampleNum = 0;
    platform::critical_section writerLock;
    juce::AudioFormatWriter::ThreadedWriter* activeWavWriter = nullptr;
    juce::AudioFormatWriter::ThreadedWriter* activeFlacWriter = nullptr;
    std::atomic<int64_t> droppedFrames{0}, recordedFrames{0};
};

// "data%d%d%d%d%d": month from 0, day, hour, minute, second, no leading zeros.
juce::String take_file_stem(const juce::Time& when);
