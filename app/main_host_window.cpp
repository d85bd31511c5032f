#include "app/main_host_window.h"
#include "app/plugin_host_app.h"
#include "platform/process_priority.h"
#include "skin/dialog_lookfeel.h"

MainHostWindow::MainHostWindow()
    : DocumentWindow(PluginHostApp::application_name(), juce::Colour(211, 211, 211),
                     DocumentWindow::allButtons, true)
{
    skin::set_width_flag(0);
    centreWithSize(1008, 600);
    setContentOwned(new main_panel(), false);
    setVisible(true);
    platform::raise_process_priority();
}

MainHostWindow::~MainHostWindow()
{
    if (auto* properties = PluginHostApp::properties())
        properties->getUserSettings()->setValue("mainWindowPos", getWindowStateAsString());
    clearContentComponent();
}

void MainHostWindow::closeButtonPressed()
{
    setVisible(false);
}

void MainHostWindow::minimiseButtonPressed()
{
    if (getContentComponent() == nullptr) return;
    const int wide = skin::width_flag() == 1 ? 0 : 1;
    skin::set_width_flag(wide);
    centreWithSize(wide == 1 ? 1390 : 1008, 600);
    repaint(); // the title bar image follows the width
}

void MainHostWindow::handleCommandMessage(int commandId)
{
    show_width_toggle(commandId == 1);
}

void MainHostWindow::show_width_toggle(bool shown)
{
    if (auto* button = getMinimiseButton())
    {
        button->setVisible(shown);
        button->setEnabled(shown);
    }
}
