#include "pages/tavri_eq3_set.h"
#include "device/hard_panel.h"
#include "skin/image_root.h"

namespace
{
const char* const presetFolders[11] = {"eq",         "MaleBass",      "MaleMidtone",  "MaleTreble",
                                       "FemaleBass", "FemaleMidtone", "FemaleTreble", "Stream",
                                       "Radio",      "Performance",   "Commentary"};
juce::String percent(int v)
{
    return juce::String(v * 100 / 15) + "%";
}
} // namespace

tavri_eq3_set::tavri_eq3_set()
{
    for (int i = 0; i < 11; ++i)
    {
        auto& b = presets[(size_t)i];
        b = std::make_unique<skin_toggle>(juce::String("eq\\") + presetFolders[i] + "\\");
        b->setBounds(50 + (i % 4) * 84, 70 + (i / 4) * 43, 82, 26);
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    uint8_t ui_para::*const fields[2] = {&ui_para::eqLevel1, &ui_para::eqLevel2};
    for (int i = 0; i < 2; ++i)
    {
        auto& l = levels[(size_t)i];
        l.field = fields[i];
        l.slider = std::make_unique<juce::Slider>(juce::Slider::LinearHorizontal, juce::Slider::NoTextBox);
        l.slider->setRange(0, 15, 1);
        l.slider->setLookAndFeel(&looks[(size_t)i]);
        l.slider->setBounds(528, 63 + i * 76, 200, 50);
        l.slider->addListener(this);
        addAndMakeVisible(*l.slider);
        l.label.setText("0", juce::dontSendNotification);
        l.label.setColour(juce::Label::textColourId, juce::Colours::white);
        l.label.setFont(juce::Font(18.0f));
        l.label.setJustificationType(juce::Justification::centredLeft);
        l.label.setBounds(748, 78 + i * 76, 60, 20);
        addAndMakeVisible(l.label);
    }
}

tavri_eq3_set::~tavri_eq3_set()
{
    for (auto& l : levels)
        l.slider->setLookAndFeel(nullptr);
}

void tavri_eq3_set::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\eq.jpg"), 0, 0);
}

void tavri_eq3_set::show_preset(int preset)
{
    for (int i = 0; i < 11; ++i)
        presets[(size_t)i]->setToggleState(i == preset, juce::dontSendNotification);
}

void tavri_eq3_set::buttonClicked(juce::Button* button)
{
    for (int i = 0; i < 11; ++i)
        if (button == presets[(size_t)i].get())
        {
            // An unchanged record sends nothing; the selected preset then stays on.
            change_ui_para(
                [&](ui_para& p)
                {
                    p.eqPreset = (uint8_t)i;
                    show_preset(i);
                });
            return;
        }
}

void tavri_eq3_set::sliderValueChanged(juce::Slider* slider)
{
    for (auto& l : levels)
        if (slider == l.slider.get())
        {
            change_ui_para(
                [&](ui_para& p)
                {
                    const uint8_t v = (uint8_t)(int)slider->getValue();
                    p.*l.field = v;
                    l.label.setText(percent(v), juce::dontSendNotification);
                });
            return;
        }
}

void tavri_eq3_set::redraw()
{
    auto* link = the_hard_panel();
    if (link == nullptr) return;
    const ui_para& record = link->record();
    for (auto& l : levels)
    {
        l.slider->setValue(record.*l.field, juce::dontSendNotification);
        l.label.setText(percent(record.*l.field), juce::dontSendNotification);
    }
    show_preset(record.eqPreset); // above 10: none on
}
