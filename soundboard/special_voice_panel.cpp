#include "soundboard/special_voice_panel.h"
#include "platform/program_settings.h"
#include "platform/ui_language.h"

special_voice_panel::special_voice_panel()
{
    padView.setBounds(12, 148, 345, 388);
    padView.setScrollBarsShown(true, false);
    padView.getVerticalScrollBar().setColour(juce::ScrollBar::thumbColourId, juce::Colour(0xFF4B5169));
    padView.setColour(juce::ScrollBar::thumbColourId, juce::Colour(0xFF4B5169));
    addAndMakeVisible(padView);
    soundEngine = std::make_unique<enum_panel>();
    padView.setViewedComponent(soundEngine.get(), false);

    volumeSlider.setSliderStyle(juce::Slider::LinearHorizontal);
    volumeSlider.setTextBoxStyle(juce::Slider::NoTextBox, false, 0, 0);
    volumeSlider.setRange(0, 1000, 5);
    volumeSlider.setLookAndFeel(&sliderLook);
    volumeSlider.setBounds(126, 98, 120, 12);
    volumeSlider.addListener(this);
    addAndMakeVisible(volumeSlider);

    volumeLabel.setText("0", juce::dontSendNotification);
    volumeLabel.setColour(juce::Label::textColourId, juce::Colours::white);
    volumeLabel.setFont(juce::Font(18.0f));
    volumeLabel.setJustificationType(juce::Justification::centredLeft);
    volumeLabel.setBounds(volumeSlider.getRight() + 30, volumeSlider.getY() - 10, 60, 30);
    addAndMakeVisible(volumeLabel);

    onSwitch.setBounds(90, 22, 44, 28);
    offSwitch.setBounds(onSwitch.getRight() + 6, 22, 44, 28);
    importButton.setBounds(260, 21, 98, 30);
    onSwitch.setToggleState(true, juce::dontSendNotification);
    for (auto* b : {&onSwitch, &offSwitch, &importButton})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }

    volumeSlider.setValue(platform::read_sset("texiaoVol", 50), juce::sendNotificationAsync);
    soundEngine->set_volume((int)volumeSlider.getValue());

    const bool fast = platform::read_sset("texiaofast", 0) != 0;
    onSwitch.setToggleState(fast, juce::dontSendNotification);
    offSwitch.setToggleState(!fast, juce::dontSendNotification);
    soundEngine->enabled = fast;
    if (fast)
        soundEngine->start_worker();
    else
        soundEngine->stop_worker();
}

special_voice_panel::~special_voice_panel()
{
    for (auto* b : {&onSwitch, &offSwitch, &importButton})
        b->removeListener(this);
    volumeSlider.removeListener(this);
    volumeSlider.setLookAndFeel(nullptr);
    padView.setViewedComponent(nullptr, false);
}

void special_voice_panel::sliderValueChanged(juce::Slider* slider)
{
    if (slider != &volumeSlider) return;
    const int v = (int)volumeSlider.getValue();
    soundEngine->set_volume(v);
    volumeLabel.setText(juce::String(v * 100 / 1000) + "%", juce::dontSendNotification);
    platform::write_sset("texiaoVol", juce::String(v));
}

void special_voice_panel::buttonClicked(juce::Button* button)
{
    if (button == &onSwitch && onSwitch.getToggleState())
    {
        offSwitch.setToggleState(false, juce::dontSendNotification);
        soundEngine->enabled = true;
        soundEngine->start_worker();
        platform::write_sset("texiaofast", "1");
    }
    else if (button == &offSwitch && offSwitch.getToggleState())
    {
        onSwitch.setToggleState(false, juce::dontSendNotification);
        soundEngine->enabled = false;
        soundEngine->stop_worker();
        platform::write_sset("texiaofast", "0");
    }
    else if (button == &importButton)
    {
        importButton.setToggleState(false, juce::dontSendNotification);
        juce::FileChooser chooser(
            platform::tr("请选择音效MP3,如果有多个文件,请一并选择",
                         "Please select MP3 sound effect files. You may select multiple "
                         "files at once"),
            juce::File::getCurrentWorkingDirectory(), "*.mp3");
        if (chooser.browseForMultipleFilesToOpen()) import_files(chooser.getResults());
    }
}

void special_voice_panel::import_files(const juce::Array<juce::File>& files)
{
    const auto folder = enum_panel::sound_folder();
    folder.createDirectory();
    for (const auto& f : files)
        f.copyFileTo(folder.getChildFile(f.getFileName())); // a failed copy is skipped
    if (!files.isEmpty()) soundEngine->reload_sounds();
}
