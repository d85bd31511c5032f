#include "pages/left_panel.h"
#include "device/connected_model.h"
#include "device/my_message.h"
#include "platform/ui_language.h"

left_panel::left_panel(const devbridge_api& api)
{
    status.setJustificationType(juce::Justification::centredLeft);
    status.setColour(juce::Label::textColourId, juce::Colours::white);
    status.setBounds(186, 280, 822, 40);
    addAndMakeVisible(status);

    hardPanel = std::make_unique<hard_panel>(*this, api);
    hardPanel->setBounds(186, 328, 822, 238);
    addAndMakeVisible(*hardPanel);
    set_the_hard_panel(hardPanel.get());
    show_status();
}

left_panel::~left_panel()
{
    set_the_hard_panel(nullptr);
    // Soft mode first; the device link then leaves the device in hard mode.
    hardPanel->record().hardMode = 0;
    hardPanel->send_ui_para();
    hardPanel.reset();
}

void left_panel::handleMessage(const juce::Message& message)
{
    const auto* m = dynamic_cast<const my_message*>(&message);
    if (m == nullptr) return;
    if (m->command == "hard_have_new_para" || m->command == "hard_have_new_connect")
    {
        hardPanel->show_mode();
        show_status();
    }
    else if (m->command == "hard_have_battery_para")
    {
        show_status();
    }
}

void left_panel::on_device_connecting()
{
    show_status();
}
void left_panel::on_device_connected()
{
    show_status();
}
void left_panel::on_device_lost()
{
    show_status();
}

void left_panel::show_status()
{
    switch (hardPanel->connection_state())
    {
    case hard_panel::connected:
        status.setText(platform::tr("已连接 ", "Connected: ") + connected_model(),
                       juce::dontSendNotification);
        break;
    case hard_panel::connecting:
        status.setText(platform::tr("正在连接…", "Connecting..."), juce::dontSendNotification);
        break;
    default:
        status.setText(platform::tr("设备未连接", "No device connected"), juce::dontSendNotification);
        break;
    }
}

void left_panel::paint(juce::Graphics& g)
{
    g.fillAll(juce::Colour(0xFF2C343F));
}
