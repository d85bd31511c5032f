#pragma once
#include "recorder/audio_recorder.h"
#include "skin/skin_controls.h"
#include <juce_audio_utils/juce_audio_utils.h>

// The live waveform of the take being recorded: a fixed 30-second scale, then the whole take.
class RecordingThumbnail : public juce::Component, public juce::ChangeListener
{
  public:
    RecordingThumbnail();
    ~RecordingThumbnail() override;
    juce::AudioThumbnail& getAudioThumbnail() { return thumbnail; }
    void paint(juce::Graphics& g) override;
    void changeListenerCallback(juce::ChangeBroadcaster*) override { repaint(); }

  private:
    juce::AudioFormatManager formatManager;
    juce::AudioThumbnailCache thumbnailCache{10};
    juce::AudioThumbnail thumbnail{512, formatManager, thumbnailCache};
};

// The finished take's waveform with the playback marker; a click plays from there.
class DemoThumbnailComp : public juce::Component, public juce::ChangeListener, private juce::Timer
{
  public:
    DemoThumbnailComp(juce::AudioFormatManager& formats, juce::AudioTransportSource& transport);
    ~DemoThumbnailComp() override;

    void set_file(const juce::File& file);
    void paint(juce::Graphics& g) override;
    void mouseDown(const juce::MouseEvent& e) override;
    void mouseDrag(const juce::MouseEvent& e) override;
    void mouseUp(const juce::MouseEvent& e) override;
    void changeListenerCallback(juce::ChangeBroadcaster*) override { repaint(); }

    const juce::AudioThumbnail& get_thumbnail() const { return thumbnail; }
    const juce::DrawableRectangle& marker() const { return positionMarker; }

  private:
    void timerCallback() override;
    void seek_to(float x);

    juce::AudioTransportSource& transportSource;
    juce::AudioThumbnailCache thumbnailCache{5};
    juce::AudioThumbnail thumbnail;
    juce::Range<double> visibleRange;
    juce::DrawableRectangle positionMarker;
};

// The recorder: record/stop, pause/resume, play and save, the two views and the playback chain.
class recPanel : public juce::Component, public juce::Button::Listener
{
  public:
    recPanel();
    ~recPanel() override;

    void buttonClicked(juce::Button* button) override;
    void start_take();
    void stop_take();
    void stop_if_recording();
    bool recording() const { return recorder->recording() || take == 1; }
    void show_file(const juce::File& file);
    void save();
    // The save step after the file chooser: MP3 or FLAC by the name; shows the outcome.
    void save_to(juce::String path);

    // For tests and the end-to-end checks.
    AudioRecorder& engine() { return *recorder; }
    const juce::File& wav_file() const { return wavPath; }
    const juce::File& flac_file() const { return flacPath; }
    juce::Button& record_button() { return recordButton; }
    juce::Button& pause_button() { return pauseButton; }
    juce::Button& play_button() { return playButton; }
    juce::Button& save_button() { return saveButton; }
    DemoThumbnailComp& file_view() { return fileView; }
    RecordingThumbnail& live_view() { return liveView; }
    juce::AudioTransportSource& transport() { return transportSource; }

  private:
    void load_into_transport(const juce::File& file);
    void pause_or_resume();
    void play_or_stop();

    juce::AudioFormatManager formatManager;
    juce::TimeSliceThread readAheadThread{""};
    juce::AudioTransportSource transportSource;
    std::unique_ptr<juce::AudioFormatReaderSource> readerSource;
    juce::AudioSourcePlayer player;
    RecordingThumbnail liveView;
    DemoThumbnailComp fileView{formatManager, transportSource};
    std::unique_ptr<AudioRecorder> recorder;
    juce::AudioDeviceManager& deviceManager;
    int take = 0;
    juce::File wavPath, flacPath;
    skin_toggle recordButton, pauseButton, playButton, saveButton;
};

// The recorder page's background with the recorder on it.
class record_panel : public juce::Component
{
  public:
    record_panel();
    void paint(juce::Graphics& g) override;
    recPanel& recorder() { return panel; }

  private:
    recPanel panel;
};

// The recorder of the running program, for the main page's stop-if-recording; null when none.
recPanel* the_recorder();
