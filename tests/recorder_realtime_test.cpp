// The recorder's audio callback on a real JACK server (dummy backend) for some seconds of
// recording while the live waveform is painted over and over: every allocation and every lock
// that had to wait on the audio thread, inside the callback, is counted, and there must be none.
// Its own program: it replaces malloc and pthread_mutex_lock to count.
#include "recorder/audio_recorder.h"
#include "recorder/rec_panel.h"
#include "recorder/shared_audio_device.h"
#include "tests/jack_dummy_server.h"
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <pthread.h>

namespace
{
thread_local bool watched = false; // set only around the recorder's callback
std::atomic<int> allocations{0}, lockWaits{0}, locksTaken{0};
} // namespace

extern "C"
{
    void* __libc_malloc(size_t);
    void* __libc_calloc(size_t, size_t);
    void* __libc_realloc(void*, size_t);
    void* __libc_memalign(size_t, size_t);
    void __libc_free(void*);

    void* malloc(size_t n)
    {
        if (watched) ++allocations;
        return __libc_malloc(n);
    }
    void* calloc(size_t count, size_t n)
    {
        if (watched) ++allocations;
        return __libc_calloc(count, n);
    }
    void* realloc(void* p, size_t n)
    {
        if (watched) ++allocations;
        return __libc_realloc(p, n);
    }
    void free(void* p)
    {
        if (watched && p != nullptr) ++allocations; // giving memory back is no better
        __libc_free(p);
    }
    int posix_memalign(void** out, size_t alignment, size_t n)
    {
        if (watched) ++allocations;
        *out = __libc_memalign(alignment, n);
        return *out != nullptr ? 0 : ENOMEM;
    }
    void* aligned_alloc(size_t alignment, size_t n)
    {
        if (watched) ++allocations;
        return __libc_memalign(alignment, n);
    }

    int pthread_mutex_lock(pthread_mutex_t* m)
    {
        static const auto real =
            reinterpret_cast<int (*)(pthread_mutex_t*)>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
        if (watched)
        {
            ++locksTaken;
            if (pthread_mutex_trylock(m) == 0) return 0;
            ++lockWaits; // held by another thread: this callback waits
        }
        return real(m);
    }
}

namespace
{
struct watched_callback : juce::AudioIODeviceCallback
{
    AudioRecorder& recorder;
    std::atomic<int> calls{0};
    explicit watched_callback(AudioRecorder& r) : recorder(r) {}
    void audioDeviceIOCallbackWithContext(const float* const* in, int numIn, float* const* out, int numOut,
                                          int numSamples,
                                          const juce::AudioIODeviceCallbackContext& c) override
    {
        watched = true;
        recorder.audioDeviceIOCallbackWithContext(in, numIn, out, numOut, numSamples, c);
        watched = false;
        ++calls;
    }
    void audioDeviceAboutToStart(juce::AudioIODevice* d) override { recorder.audioDeviceAboutToStart(d); }
    void audioDeviceStopped() override { recorder.audioDeviceStopped(); }
};
} // namespace

TEST(recorder_realtime, the_callback_neither_allocates_nor_waits)
{
    jack_dummy_server jack("rx40rttest", 128);
    ASSERT_TRUE(jack.running());

    // The page's own waveform component and the panel's device choice (JACK when a server runs).
    RecordingThumbnail liveView;
    liveView.setBounds(0, 0, 600, 100);
    AudioRecorder recorder(liveView.getAudioThumbnail());
    watched_callback callback(recorder);
    auto& device = shared_audio_device();
    ASSERT_EQ(device.getCurrentAudioDeviceType(), "JACK");
    device.addAudioCallback(&callback);
    for (int i = 0; i < 100 && recorder.sample_rate() <= 0; ++i)
        juce::MessageManager::getInstance()->runDispatchLoopUntil(20);
    ASSERT_GT(recorder.sample_rate(), 0.0);

    juce::TemporaryFile wav(".wav"), flac(".flac");
    ASSERT_TRUE(recorder.start_recording(wav.getFile(), flac.getFile()));
    allocations = lockWaits = locksTaken = 0;
    const int callsBefore = callback.calls;
    const auto until = juce::Time::getMillisecondCounter() + 4000;
    while (juce::Time::getMillisecondCounter() < until)
    {
        liveView.createComponentSnapshot(liveView.getLocalBounds()); // paints under the waveform's lock
        juce::MessageManager::getInstance()->runDispatchLoopUntil(2);
    }
    const int calls = callback.calls - callsBefore;
    const int allocated = allocations, waited = lockWaits, taken = locksTaken;
    recorder.stop_recording();
    device.removeAudioCallback(&callback);
    release_shared_audio_device();
    jack.stop();

    std::printf("%d callbacks, %d allocations, %d locks taken, %d lock waits\n", calls, allocated, taken,
                waited);
    EXPECT_GT(calls, 1000); // four seconds of 128-frame blocks at 48 kHz: about 1500
    EXPECT_EQ(allocated, 0);
    EXPECT_EQ(waited, 0);
    EXPECT_GT(recorder.recorded_frames(), 0);
    EXPECT_EQ(recorder.dropped_frames(), 0);
}
