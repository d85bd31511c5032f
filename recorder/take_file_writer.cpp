#include "recorder/take_file_writer.h"

take_file_writer::take_file_writer(std::unique_ptr<juce::AudioFormatWriter> fileWriter,
                                   juce::TimeSliceThread& writerThread, int fifoFrames)
    : writer(std::move(fileWriter)), thread(writerThread), fifo(fifoFrames)
{
    thread.addTimeSliceClient(this);
}

take_file_writer::~take_file_writer()
{
    thread.removeTimeSliceClient(this);
    while (write_pending() > 0)
    {
    }
}

int take_file_writer::useTimeSlice()
{
    // A 32768-frame FIFO holds over half a second: polling every 5 ms keeps it nearly empty.
    return write_pending() > 0 ? 0 : 5;
}

int take_file_writer::write_pending()
{
    return fifo.pop(8192, [this](const float* const* channels, int frames)
                    { writer->writeFromFloatArrays(channels, 2, frames); });
}
