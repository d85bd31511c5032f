#include "recorder/rec_panel.h"
#include "platform/program_folder.h"
#include "platform/ui_language.h"
#include "recorder/mp3_export.h"
#include "recorder/shared_audio_device.h"
#include "skin/image_root.h"
#include <cstdio>

using platform::tr;

namespace
{
const juce::Colour waveColour(0xFF5BCBFB);
recPanel* theRecorder = nullptr;

// The recorder's image sets: 1 over, 2 on, 4 normal, 3 disabled.
void use_set(skin_toggle& button, const juce::String& folder)
{
    button.set_images(folder + "1.png", folder + "2.png", folder + "4.png", folder + "3.png");
}

void message(juce::MessageBoxIconType icon, const juce::String& title, const juce::String& text)
{
    juce::AlertWindow::showMessageBox(icon, title, text);
}
} // namespace

recPanel* the_recorder()
{
    return theRecorder;
}

RecordingThumbnail::RecordingThumbnail()
{
    formatManager.registerBasicFormats();
    thumbnail.addChangeListener(this);
}

RecordingThumbnail::~RecordingThumbnail()
{
    thumbnail.removeChangeListener(this);
}

void RecordingThumbnail::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black.withAlpha(0.3f));
    g.setColour(waveColour);
    if (thumbnail.getTotalLength() > 0.0)
    {
        const double end = juce::jmax(30.0, thumbnail.getTotalLength());
        thumbnail.drawChannels(g, getLocalBounds().reduced(2), 0.0, end, 1.0f);
    }
}

DemoThumbnailComp::DemoThumbnailComp(juce::AudioFormatManager& formats, juce::AudioTransportSource& transport)
    : transportSource(transport), thumbnail(512, formats, thumbnailCache)
{
    thumbnail.addChangeListener(this);
    positionMarker.setFill(juce::Colours::red.withAlpha(0.85f));
    addAndMakeVisible(positionMarker);
}

DemoThumbnailComp::~DemoThumbnailComp()
{
    thumbnail.removeChangeListener(this);
}

void DemoThumbnailComp::set_file(const juce::File& file)
{
    if (file.isDirectory()) return;
    thumbnail.setSource(file.existsAsFile() ? new juce::FileInputSource(file) : nullptr);
    visibleRange = {0.0, juce::jmax(thumbnail.getTotalLength(), 0.0)};
    startTimer(25);
    repaint();
}

void DemoThumbnailComp::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colours::black.withAlpha(0.3f));
    g.setColour(waveColour);
    if (thumbnail.getTotalLength() > 0.0)
    {
        auto area = getLocalBounds();
        area.removeFromBottom(4);
        thumbnail.drawChannels(g, area.reduced(2), visibleRange.getStart(), visibleRange.getEnd(), 1.0f);
    }
    else
    {
        g.setFont(14.0f);
        g.drawFittedText(juce::String(juce::CharPointer_UTF8("这里显示录音波形")), getLocalBounds(),
                         juce::Justification::centred, 2, 0.7f);
    }
}

void DemoThumbnailComp::seek_to(float x)
{
    if (transportSource.getLengthInSeconds() <= 0 && visibleRange.getLength() <= 0) return;
    const double t = juce::jmax(0.0, x / getWidth() * visibleRange.getLength() + visibleRange.getStart());
    transportSource.setPosition(t);
}

void DemoThumbnailComp::mouseDown(const juce::MouseEvent& e)
{
    seek_to((float)e.x);
}
void DemoThumbnailComp::mouseDrag(const juce::MouseEvent& e)
{
    seek_to((float)e.x);
}
void DemoThumbnailComp::mouseUp(const juce::MouseEvent&)
{
    transportSource.start();
}

void DemoThumbnailComp::timerCallback()
{
    const bool shown = transportSource.isPlaying() || isMouseButtonDown();
    positionMarker.setVisible(shown);
    if (shown && visibleRange.getLength() > 0)
    {
        const double x = (transportSource.getCurrentPosition() - visibleRange.getStart()) /
                         visibleRange.getLength() * getWidth();
        positionMarker.setRectangle(juce::Parallelogram<float>(
            juce::Rectangle<float>((float)x - 0.75f, 0.0f, 1.5f, (float)getHeight())));
    }
}

recPanel::recPanel() : deviceManager(shared_audio_device())
{
    setSize(822, 238);
    formatManager.registerBasicFormats();
    readAheadThread.startThread();
    fileView.setBounds(80, 40, 662, 120);
    liveView.setBounds(80, 40, 662, 120);
    addChildComponent(fileView);
    addAndMakeVisible(liveView);
    recorder = std::make_unique<AudioRecorder>(liveView.getAudioThumbnail());

    use_set(recordButton, "record\\rec\\");
    use_set(pauseButton, "record\\pause\\");
    use_set(playButton, "record\\play\\");
    use_set(saveButton, "record\\save\\");
    recordButton.setBounds(80, 180, 82, 26);
    pauseButton.setBounds(200, 180, 82, 26);
    playButton.setBounds(320, 180, 82, 26);
    saveButton.setBounds(440, 180, 82, 26);
    for (auto* b : {&recordButton, &pauseButton, &playButton, &saveButton})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    pauseButton.setEnabled(false);
    playButton.setEnabled(false);
    saveButton.setEnabled(false);

    player.setSource(&transportSource);
    deviceManager.addAudioCallback(&player);
    deviceManager.addAudioCallback(recorder.get());
    theRecorder = this;
}

recPanel::~recPanel()
{
    if (theRecorder == this) theRecorder = nullptr;
    for (auto* b : {&recordButton, &pauseButton, &playButton, &saveButton})
        b->removeListener(this);
    show_file({});
    wavPath.deleteFile();
    flacPath.deleteFile();
    deviceManager.removeAudioCallback(recorder.get());
    deviceManager.removeAudioCallback(&player);
    recorder.reset();
    transportSource.setSource(nullptr);
    player.setSource(nullptr);
    release_shared_audio_device();
}

void recPanel::load_into_transport(const juce::File& file)
{
    transportSource.stop();
    transportSource.setSource(nullptr);
    readerSource.reset();
    auto* reader = file.existsAsFile() ? formatManager.createReaderFor(file) : nullptr;
    if (reader == nullptr) return;
    readerSource = std::make_unique<juce::AudioFormatReaderSource>(reader, true);
    transportSource.setSource(readerSource.get(), 32768, &readAheadThread, reader->sampleRate);
}

void recPanel::show_file(const juce::File& file)
{
    load_into_transport(file);
    fileView.set_file(file);
}

void recPanel::start_take()
{
    reopen_shared_audio_device();
    playButton.setEnabled(false);
    juce::AudioDeviceManager::AudioDeviceSetup setup;
    deviceManager.getAudioDeviceSetup(setup);
    if (setup.inputDeviceName.isEmpty() || setup.outputDeviceName.isEmpty())
    {
        message(juce::MessageBoxIconType::InfoIcon, tr("提示", "Tip"),
                tr("录音模块打开声音设备失败!", "Failed to open audio device for recording module!"));
        reopen_shared_audio_device();
        recordButton.setToggleState(false, juce::dontSendNotification);
        return;
    }
    take = 1;
    show_file({});
    wavPath.deleteFile();
    flacPath.deleteFile();
    fileView.setVisible(false);
    liveView.setVisible(true);

    const auto stem = take_file_stem(juce::Time::getCurrentTime());
    const auto folder = platform::program_file("\\wav");
    for (const auto& entry : folder.findChildFiles(juce::File::findFilesAndDirectories, true, "*"))
        entry.deleteFile(); // folders only once they are empty
    wavPath = platform::program_file("\\wav\\" + stem + ".wav");
    flacPath = platform::program_file("\\wav\\" + stem + ".flac");
    if (!recorder->start_recording(wavPath, flacPath))
    {
        // Nothing would be recorded: say so and stay idle instead of showing a take. The last
        // take's files are gone, so there is nothing to save either.
        take = 0;
        saveButton.setEnabled(false);
        recordButton.setToggleState(false, juce::dontSendNotification);
        fileView.setVisible(true);
        liveView.setVisible(false);
        message(
            juce::MessageBoxIconType::WarningIcon, tr("提示", "Tip"),
            tr("无法开始录音: 录音文件无法创建或声音设备没有采样率!",
               "Cannot start recording: the recording files could not be created or the audio device has no "
               "sample rate!"));
        return;
    }
    use_set(recordButton, "record\\stop\\");
    saveButton.setEnabled(false);
    pauseButton.setEnabled(true);
}

void recPanel::stop_take()
{
    take = 0;
    recorder->stop_recording();
    const auto frames = recorder->recorded_frames(), lost = recorder->dropped_frames();
    std::printf("take frames %lld lost %lld\n", (long long)frames, (long long)lost);
    std::fflush(stdout);
    liveView.setVisible(false);
    fileView.setVisible(true);
    show_file(flacPath);
    use_set(recordButton, "record\\rec\\");
    use_set(pauseButton, "record\\pause\\");
    playButton.setEnabled(true);
    saveButton.setEnabled(true);
    pauseButton.setEnabled(false);
    recordButton.setToggleState(false, juce::dontSendNotification);
    pauseButton.setToggleState(false, juce::dontSendNotification);
    if (lost > 0)
    {
        // A full buffer dropped audio: the take has gaps, and the user should know.
        const double rate = juce::jmax(1.0, recorder->sample_rate());
        message(juce::MessageBoxIconType::WarningIcon, tr("提示", "Tip"),
                tr("录音时有部分声音未能写入文件 (",
                   "Part of the sound could not be written during the recording (") +
                    juce::String(lost / rate, 2) + tr(" 秒)。", " s)."));
    }
}

void recPanel::stop_if_recording()
{
    if (recording()) stop_take();
}

void recPanel::pause_or_resume()
{
    if (recorder->paused == 1 && recording())
    {
        if (recorder->recording()) recorder->paused = 0;
        use_set(pauseButton, "record\\pause\\");
    }
    else
    {
        if (recorder->recording()) recorder->paused = 1;
        use_set(pauseButton, "record\\Resume\\");
    }
}

void recPanel::play_or_stop()
{
    if (transportSource.isPlaying())
    {
        transportSource.stop();
        return;
    }
    if (readerSource != nullptr && transportSource.getLengthInSeconds() > 0) transportSource.setPosition(0);
    transportSource.start();
}

void recPanel::buttonClicked(juce::Button* button)
{
    button->setToggleState(false, juce::dontSendNotification);
    if (button == &recordButton)
    {
        if (recording())
            stop_take();
        else
            start_take();
    }
    else if (button == &pauseButton)
        pause_or_resume();
    else if (button == &playButton)
        play_or_stop();
    else if (button == &saveButton)
        save();
}

void recPanel::save()
{
    juce::FileChooser chooser(tr("请输入要保存的文件名和格式，如xx.mp3 ; xx.flac",
                                 "Please enter the file name and format to save, e.g. xx.mp3 ; xx.flac"),
                              juce::File::getSpecialLocation(juce::File::userDesktopDirectory),
                              "*.mp3;*.flac");
    if (chooser.browseForFileToSave(true)) save_to(chooser.getResult().getFullPathName());
}

void recPanel::save_to(juce::String path)
{
    const auto saved = []
    { message(juce::MessageBoxIconType::InfoIcon, tr("消息", "Tip"), tr("保存成功!", "Save succeeded!")); };
    if (!path.containsIgnoreCase(".mp3") && path.containsIgnoreCase(".flac"))
    {
        // The target is replaced only by a take that is there.
        const juce::File target(path);
        bool ok = false;
        if (flacPath.existsAsFile())
        {
            if (target != flacPath) target.deleteFile();
            ok = target == flacPath || flacPath.copyFileTo(target);
        }
        if (ok)
            saved();
        else
            message(juce::MessageBoxIconType::WarningIcon, tr("消息", "Tip"),
                    tr("保存失败!", "Save failed!"));
        return;
    }
    if (!path.containsIgnoreCase(".mp3")) path << ".mp3";
    const bool haveTake = wavPath.existsAsFile();
    if (haveTake && export_mp3(wavPath.getFullPathName(), path) == 0)
    {
        saved();
        return;
    }
    message(
        juce::MessageBoxIconType::WarningIcon, tr("错误", "Error"),
        tr("保存mp3文件失败，您的系统可能存在系统文件缺失。您可以选择保存为Flac格式（文件名加上."
           "flac后缀），或者联系Tavri客服！",
           "Failed to save MP3 file. Your system may have missing system files. You can save in FLAC format "
           "instead (add the .flac suffix to the filename)"));
    if (haveTake) juce::File(path).deleteFile(); // the half-written export; without a take it is untouched
}

record_panel::record_panel()
{
    setSize(822, 238);
    panel.setBounds(0, 0, 822, 238);
    addAndMakeVisible(panel);
}

void record_panel::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\rec.jpg"), 0, 0);
}
