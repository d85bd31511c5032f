#pragma once
#include "recorder/stereo_fifo.h"
#include <juce_audio_formats/juce_audio_formats.h>

// One file of a take: the audio thread puts frames into a FIFO, and the writer thread polls it
// and writes them out. Nothing wakes the writer thread, so writing frames never takes a lock.
class take_file_writer : private juce::TimeSliceClient
{
  public:
    take_file_writer(std::unique_ptr<juce::AudioFormatWriter> fileWriter, juce::TimeSliceThread& writerThread,
                     int fifoFrames);
    // Writes what is left and completes the file.
    ~take_file_writer() override;

    // Audio thread: false when the FIFO cannot take all FRAMES (they are then not written).
    bool write(const float* const* data, int frames) { return fifo.push(data, frames); }

  private:
    int useTimeSlice() override;
    // Writes up to a quarter of the FIFO; the number of frames written.
    int write_pending();

    std::unique_ptr<juce::AudioFormatWriter> writer;
    juce::TimeSliceThread& thread;
    stereo_fifo fifo;
};
