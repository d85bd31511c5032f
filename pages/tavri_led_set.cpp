#include "pages/tavri_led_set.h"
#include "device/hard_panel.h"
#include "skin/image_root.h"

namespace
{
const char* const modeFolders[4] = {"off", "on", "Breath", "Cycle"};
const int modeX[4] = {184, 297, 410, 523};
struct colour
{
    const char* folder;
    int code; // lightColour; the Breath mask bit is 1 << (code - 1)
};
const colour colourTable[8] = {{"White", 7},  {"SkyBlue", 6}, {"Green", 4}, {"Blue", 2},
                               {"Yellow", 5}, {"Purple", 3},  {"Red", 1},   {"Orange", 8}};
uint8_t bit_of(int index)
{
    return (uint8_t)(1 << (colourTable[index].code - 1));
}
juce::String percent(int v)
{
    return juce::String((v + 1) * 100 / 8) + "%";
}
} // namespace

tavri_led_set::tavri_led_set()
{
    for (int m = 0; m < 4; ++m)
    {
        auto& b = modes[(size_t)m];
        b = std::make_unique<skin_toggle>(juce::String("RGBLight\\") + modeFolders[m] + "\\");
        b->setBounds(modeX[m], 30, 74, 74);
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    for (int i = 0; i < 8; ++i)
    {
        auto& b = colours[(size_t)i];
        b = std::make_unique<skin_toggle>(juce::String("RGBLight\\") + colourTable[i].folder + "\\");
        b->setBounds(66 + i * 90, 122, 60, 60);
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    slider.setRange(0, 7, 1);
    slider.setLookAndFeel(&sliderLook);
    slider.setBounds(190, 198, 444, 12);
    slider.addListener(this);
    addAndMakeVisible(slider);
    label.setText("0", juce::dontSendNotification);
    label.setColour(juce::Label::textColourId, juce::Colours::white);
    label.setFont(juce::Font(18.0f));
    label.setJustificationType(juce::Justification::centredLeft);
    label.setBounds(654, 194, 60, 20);
    addAndMakeVisible(label);
    redraw();
}

tavri_led_set::~tavri_led_set()
{
    slider.setLookAndFeel(nullptr);
}

void tavri_led_set::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\led.jpg"), 0, 0);
}

void tavri_led_set::show_light_buttons(const ui_para& record)
{
    for (auto& b : colours)
        b->setToggleState(false, juce::dontSendNotification);
    for (auto& b : modes)
        b->setToggleState(false, juce::dontSendNotification);
    const int mode = record.lightMode;
    if (mode <= 3)
    {
        modes[(size_t)mode]->setToggleState(true, juce::dontSendNotification);
        slider.setEnabled(mode == 1 || mode == 2);
    }
    for (auto& b : colours)
        b->setEnabled(mode != 0 && mode != 3);
    for (int i = 0; i < 8; ++i)
    {
        const bool on =
            mode == 2 ? (record.lightColourMask & bit_of(i)) != 0 : record.lightColour == colourTable[i].code;
        if (on) colours[(size_t)i]->setToggleState(true, juce::dontSendNotification);
    }
}

void tavri_led_set::buttonClicked(juce::Button* button)
{
    for (int m = 0; m < 4; ++m)
        if (button == modes[(size_t)m].get())
        {
            change_ui_para(
                [&](ui_para& p)
                {
                    p.lightMode = (uint8_t)m;
                    show_light_buttons(p);
                });
            return;
        }
    for (int i = 0; i < 8; ++i)
        if (button == colours[(size_t)i].get())
        {
            auto& b = *colours[(size_t)i];
            change_ui_para(
                [&](ui_para& p)
                {
                    if (p.lightMode == 2)
                    {
                        p.lightColourMask ^= bit_of(i);
                        // At least one colour stays selected.
                        if (p.lightColourMask == 0) p.lightColourMask = bit_of(i);
                        b.setToggleState((p.lightColourMask & bit_of(i)) != 0, juce::dontSendNotification);
                    }
                    else
                    {
                        p.lightColour = (uint8_t)colourTable[i].code;
                        for (auto& c : colours)
                            c->setToggleState(c.get() == &b, juce::dontSendNotification);
                    }
                });
            return;
        }
}

void tavri_led_set::sliderValueChanged(juce::Slider*)
{
    change_ui_para(
        [&](ui_para& p)
        {
            p.lightBrightness = (uint8_t)(int)slider.getValue();
            label.setText(percent(p.lightBrightness), juce::dontSendNotification);
        });
}

void tavri_led_set::redraw()
{
    auto* link = the_hard_panel();
    if (link == nullptr) return;
    const ui_para& record = link->record();
    show_light_buttons(record);
    slider.setValue(record.lightBrightness, juce::dontSendNotification);
    label.setText(percent(record.lightBrightness), juce::dontSendNotification);
}
