#pragma once
#include "pages/left_panel.h"

// The window's content: holds the main control page, paints nothing itself.
class main_panel : public juce::Component
{
  public:
    main_panel();
    left_panel& page() { return left; }

  private:
    left_panel left;
};
