#include "app/main_panel.h"

main_panel::main_panel()
{
    addAndMakeVisible(left);
    left.setBounds(0, 0, 1390, 574);
}
