#pragma once
#include <juce_gui_basics/juce_gui_basics.h>

// The device information page: model, serial number, firmware and hardware versions of the
// device and, for wireless units, of the linked transmitter.
class tavri_about_set : public juce::Component
{
  public:
    tavri_about_set();
    void paint(juce::Graphics& g) override;
    // Two 250-byte blocks of five 50-byte fields; the left column first.
    void redraw(const uint8_t* leftBlock, const uint8_t* rightBlock);
    juce::String text(int column, int row) const { return labels[(size_t)(column * 4 + row)].getText(); }

  private:
    std::array<juce::Label, 8> labels;
};
