#include "app/main_host_window.h"
#include "app/plugin_host_app.h"
#include "platform/process_priority.h"

namespace
{
int widthFlag = 0;
}

int MainHostWindow::width_flag()
{
    return widthFlag;
}

MainHostWindow::MainHostWindow()
    : DocumentWindow(juce::JUCEApplication::getInstance()->getApplicationName(), juce::Colour(211, 211, 211),
                     DocumentWindow::allButtons, true)
{
    widthFlag = 0;
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
    widthFlag = widthFlag == 1 ? 0 : 1;
    centreWithSize(widthFlag == 1 ? 1390 : 1008, 600);
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
