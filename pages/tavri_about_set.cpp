#include "pages/tavri_about_set.h"
#include "device/device_info.h"
#include "skin/image_root.h"
#include <cstring>

tavri_about_set::tavri_about_set()
{
    for (int i = 0; i < 8; ++i)
    {
        auto& l = labels[(size_t)i];
        l.setColour(juce::Label::textColourId, juce::Colours::white);
        l.setFont(juce::Font(17.0f));
        l.setJustificationType(juce::Justification::centredLeft);
        l.setBounds(i < 4 ? 272 : 541, 49 + (i % 4) * 25, 120, 20);
        addAndMakeVisible(l);
    }
}

void tavri_about_set::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\about.jpg"), 0, 0);
}

void tavri_about_set::redraw(const uint8_t* leftBlock, const uint8_t* rightBlock)
{
    const uint8_t* blocks[2] = {leftBlock, rightBlock};
    for (int column = 0; column < 2; ++column)
    {
        const uint8_t* b = blocks[column];
        // model, serial number, firmware, hardware
        const int order[4] = {1, 4, 2, 3};
        for (int row = 0; row < 4; ++row)
            labels[(size_t)(column * 4 + row)].setText(
                b[0] == 0 ? juce::String(" ") : device_info_text(b, (device_info_field)order[row]),
                juce::dontSendNotification);
    }
}
