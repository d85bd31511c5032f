#pragma once
#include <juce_core/juce_core.h>

// A single-producer single-consumer FIFO of stereo float frames. The producer (the audio
// thread) only copies samples and moves an atomic index: no allocation, no lock, no wake-up.
class stereo_fifo
{
  public:
    explicit stereo_fifo(int capacityFrames)
        : fifo(capacityFrames), left((size_t)capacityFrames), right((size_t)capacityFrames)
    {
    }

    // Producer: all FRAMES of DATA[0] and DATA[1], or nothing when they do not fit.
    bool push(const float* const* data, int frames)
    {
        if (frames <= 0) return true;
        int start1 = 0, size1 = 0, start2 = 0, size2 = 0;
        fifo.prepareToWrite(frames, start1, size1, start2, size2);
        if (size1 + size2 < frames) return false;
        copy_in(data, 0, start1, size1);
        copy_in(data, size1, start2, size2);
        fifo.finishedWrite(frames);
        return true;
    }

    // Consumer: hands up to MAX_FRAMES ready frames, oldest first, to VISIT(const float* const*
    // channels, int frames) in at most two runs; returns how many.
    template <typename Visit> int pop(int maxFrames, Visit&& visit)
    {
        int start1 = 0, size1 = 0, start2 = 0, size2 = 0;
        fifo.prepareToRead(maxFrames, start1, size1, start2, size2);
        for (const auto& [start, size] : {std::pair{start1, size1}, std::pair{start2, size2}})
            if (size > 0)
            {
                const float* channels[2] = {left.data() + start, right.data() + start};
                visit(channels, size);
            }
        fifo.finishedRead(size1 + size2);
        return size1 + size2;
    }

    int ready() const { return fifo.getNumReady(); }

  private:
    void copy_in(const float* const* data, int from, int start, int size)
    {
        if (size <= 0) return;
        std::copy_n(data[0] + from, size, left.data() + start);
        std::copy_n(data[1] + from, size, right.data() + start);
    }

    juce::AbstractFifo fifo;
    std::vector<float> left, right;
};
