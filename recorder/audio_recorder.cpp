#include "recorder/audio_recorder.h"

AudioRecorder::AudioRecorder(juce::AudioThumbnail& thumbnailToFeed) : thumbnail(thumbnailToFeed)
{
    backgroundThread.startThread();
}

AudioRecorder::~AudioRecorder()
{
    stop_recording();
    backgroundThread.stopThread(5000);
}

namespace
{
std::unique_ptr<juce::AudioFormatWriter>
make_writer(juce::AudioFormat& format, std::unique_ptr<juce::FileOutputStream>& stream, double rate)
{
    std::unique_ptr<juce::AudioFormatWriter> writer(format.createWriterFor(stream.get(), rate, 2, 16, {}, 0));
    if (writer != nullptr) stream.release(); // the writer owns it now
    return writer;
}
} // namespace

bool AudioRecorder::start_recording(const juce::File& wavFile, const juce::File& flacFile)
{
    stop_recording();
    const double rate = sampleRate;
    if (rate <= 0) return false;

    wavFile.deleteFile();
    flacFile.deleteFile();
    auto wavStream = std::make_unique<juce::FileOutputStream>(wavFile);
    auto flacStream = std::make_unique<juce::FileOutputStream>(flacFile);
    if (!wavStream->openedOk() || !flacStream->openedOk())
    {
        wavStream.reset();
        flacStream.reset();
        wavFile.deleteFile();
        flacFile.deleteFile();
        return false;
    }
    juce::WavAudioFormat wav;
    juce::FlacAudioFormat flac;
    auto wavWriterPlain = make_writer(wav, wavStream, rate);
    auto flacWriterPlain = make_writer(flac, flacStream, rate);
    if (wavWriterPlain == nullptr || flacWriterPlain == nullptr)
    {
        // Only one writer: nothing is recorded, and neither half-made file stays.
        wavWriterPlain.reset();
        flacWriterPlain.reset();
        wavStream.reset();
        flacStream.reset();
        wavFile.deleteFile();
        flacFile.deleteFile();
        return false;
    }
    wavWriter = std::make_unique<take_file_writer>(std::move(wavWriterPlain), backgroundThread, fifo_samples);
    flacWriter =
        std::make_unique<take_file_writer>(std::move(flacWriterPlain), backgroundThread, fifo_samples);
    thumbnail.reset(2, rate, 0);
    waveform.pop(waveform.ready(), [](const float* const*, int) {}); // frames of an earlier take
    nextSampleNum = 0;
    wavDropped = 0;
    flacDropped = 0;
    recordedFrames = 0;
    {
        platform::scoped_critical_section lock(writerLock);
        activeWavWriter = wavWriter.get();
        activeFlacWriter = flacWriter.get();
    }
    startTimerHz(25);
    return true;
}

void AudioRecorder::stop_recording()
{
    paused = 0;
    {
        platform::scoped_critical_section lock(writerLock);
        activeWavWriter = nullptr;
        activeFlacWriter = nullptr;
    }
    stopTimer();
    feed_waveform();
    // Writes what each FIFO holds and completes its file, outside the lock.
    wavWriter.reset();
    flacWriter.reset();
}

void AudioRecorder::feed_waveform()
{
    waveform.pop(waveform.ready(),
                 [this](const float* const* channels, int frames)
                 {
                     const juce::AudioBuffer<float> block(const_cast<float* const*>(channels),
                                                          juce::jmin(thumbnail.getNumChannels(), 2), frames);
                     thumbnail.addBlock(nextSampleNum, block, 0, frames);
                     nextSampleNum += frames;
                 });
}

void AudioRecorder::audioDeviceAboutToStart(juce::AudioIODevice* device)
{
    sampleRate = device->getCurrentSampleRate();
}

void AudioRecorder::audioDeviceStopped()
{
    sampleRate = 0;
}

void AudioRecorder::audioDeviceIOCallbackWithContext(const float* const* inputChannelData,
                                                     int numInputChannels, float* const* outputChannelData,
                                                     int numOutputChannels, int numSamples,
                                                     const juce::AudioIODeviceCallbackContext&)
{
    platform::scoped_critical_section lock(writerLock);
    if (activeWavWriter != nullptr && paused == 0 && numInputChannels > 0)
    {
        // The files are stereo: a mono input goes to both channels.
        const float* stereo[2] = {inputChannelData[0], inputChannelData[numInputChannels > 1 ? 1 : 0]};
        // A full FIFO drops the block for that file: counted, so the user hears of it.
        if (!activeWavWriter->write(stereo, numSamples)) wavDropped += numSamples;
        if (activeFlacWriter != nullptr && !activeFlacWriter->write(stereo, numSamples))
            flacDropped += numSamples;
        recordedFrames += numSamples;
        waveform.push(stereo, numSamples); // a full one only costs the picture a block
    }
    for (int i = 0; i < numOutputChannels; ++i)
        if (outputChannelData[i] != nullptr)
            juce::FloatVectorOperations::clear(outputChannelData[i], numSamples);
}

juce::String take_file_stem(const juce::Time& when)
{
    return "data" + juce::String(when.getMonth()) + juce::String(when.getDayOfMonth()) +
           juce::String(when.getHours()) + juce::String(when.getMinutes()) + juce::String(when.getSeconds());
}
