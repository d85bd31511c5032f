#include "device/hard_panel.h"
#include "device/connected_model.h"
#include "device/device_info.h"
#include "device/my_message.h"
#include "platform/ui_language.h"
#include "skin/image_root.h"
#include "skin/tip_box.h"
#include <cstdio>
#include <cstring>
#include <mutex>

namespace
{
// The library may call back before the constructor returns and keeps calling after the
// destructor; the callback only posts to the panel registered here, under this mutex.
std::mutex& event_target_mutex()
{
    static std::mutex m;
    return m;
}
hard_panel*& event_target()
{
    static hard_panel* target = nullptr;
    return target;
}

hard_panel* process_panel = nullptr;

const char* const modeNames[6] = {"Preset", "game", "Broadcast", "Conference", "sing", "Custom"};

device_link_hooks hooks;
} // namespace

device_link_hooks& device_hooks()
{
    return hooks;
}

hard_panel::hard_panel(device_link_listener& parent, const devbridge_api& library)
    : listener(parent), api(library), store(
                                          [this](ui_para& record)
                                          {
                                              if (api.SendUIPara != nullptr)
                                                  std::printf("%d\n", api.SendUIPara(record.bytes()));
                                          })
{
    // First row starts at (3, 17); each next button 8 px right, second row 11 px lower.
    const int width = 262, height = 94;
    for (int i = 0; i < 6; ++i)
    {
        const juce::String folder = juce::String("mode\\") + mode_name(i) + "\\";
        looks[(size_t)i].set_images(folder + "3.png", folder + "4.png", folder + "2.png", folder + "1.png");
        auto& button = modeButtons[(size_t)i];
        button = std::make_unique<juce::ToggleButton>();
        button->setClickingTogglesState(true);
        button->setLookAndFeel(&looks[(size_t)i]);
        button->setBounds(3 + (i % 3) * (width + 8), 17 + (i / 3) * (height + 11), width, height);
        button->addListener(this);
        addAndMakeVisible(*button);
    }

    {
        std::lock_guard<std::mutex> lock(event_target_mutex());
        event_target() = this;
    }
    if (api.initHIDCtrl != nullptr) api.initHIDCtrl(&hard_panel::event_callback);
}

hard_panel::~hard_panel()
{
    {
        std::lock_guard<std::mutex> lock(event_target_mutex());
        if (event_target() == this) event_target() = nullptr;
    }
    for (auto& button : modeButtons)
        button->removeListener(this);

    // Leave the device in hard mode.
    record().hardMode = 1;
    send_ui_para();

    for (auto& button : modeButtons)
    {
        button->setLookAndFeel(nullptr);
        button.reset();
    }
}

void hard_panel::event_callback(int value)
{
    const int code = (int)(int8_t)(value & 0xff);
    std::lock_guard<std::mutex> lock(event_target_mutex());
    if (auto* target = event_target()) post_command(*target, "hid_callback", juce::String(code));
}

void hard_panel::handleMessage(const juce::Message& message)
{
    const auto* m = dynamic_cast<const my_message*>(&message);
    if (m == nullptr || m->command != "hid_callback") return;
    handle_event(m->argument.getIntValue());
}

void hard_panel::handle_event(int code)
{
    // The prompts below run modal loops, which deliver further device events: those wait here
    // and run in order after the prompt closes, so one prompt is shown at a time.
    pendingEvents.push_back(code);
    if (handlingEvent) return;
    handlingEvent = true;
    while (!pendingEvents.empty())
    {
        const int next = pendingEvents.front();
        pendingEvents.pop_front();
        dispatch_event(next);
    }
    handlingEvent = false;
}

void hard_panel::dispatch_event(int code)
{
    std::printf("handleMessage[%d]\n", code);
    auto& para = record();
    switch (code)
    {
    case 1:
        deviceInfo.fill(0);
        linkedInfo.fill(0);
        std::memset(para.bytes(), 0, ui_para::size);
        update1.fill(0);
        update2.fill(0);
        update3.fill(0);
        if (auto* window = getTopLevelComponent(); window != nullptr && window != this)
            window->postCommandMessage(0);
        listener.on_device_lost();
        set_connected_model("KQ");
        state = not_connected;
        if (hooks.close_audio_device) hooks.close_audio_device();
        break;
    case 2:
        state = connected;
        if (api.getDeviceInfo != nullptr)
        {
            api.getDeviceInfo(deviceInfo.data());
            set_connected_model(device_info_text(deviceInfo.data(), device_info_field::model));
        }
        listener.on_device_connected();
        if (hooks.after_device_info) hooks.after_device_info();
        break;
    case 3:
        if (api.getUIPara == nullptr) break;
        api.getUIPara(para.bytes());
        post_command(listener, "hard_have_new_para");
        if (state == connecting)
        {
            state = connected;
            listener.on_device_connected();
        }
        break;
    case 4:
        if (api.getUIPara == nullptr) break;
        api.getUIPara(para.bytes());
        post_command(listener, "hard_have_battery_para", juce::String(battery_level(para.batteryVoltage)));
        break;
    case 5:
        if (api.getUpdateInfo != nullptr)
            api.getUpdateInfo(&updateValue, update1.data(), update2.data(), update3.data());
        break;
    case 6:
        update1.fill(0);
        update2.fill(0);
        update3.fill(0);
        if (api.getUpdateInfo == nullptr) break;
        api.getUpdateInfo(&updateValue, update1.data(), update2.data(), update3.data());
        if (auto* window = getTopLevelComponent(); window != nullptr && window != this)
            window->postCommandMessage(1);
        if (api.getUIPara != nullptr) api.getUIPara(para.bytes());
        break;
    case 7:
        if (state != not_connected) break;
        state = connecting;
        listener.on_device_connecting();
        break;
    case 10:
        show_timeout_alert();
        break;
    case 15:
        if (api.getConDeviceInfo == nullptr) break;
        api.getConDeviceInfo(linkedInfo.data());
        post_command(listener, "hard_have_new_connect");
        break;
    case 16:
        if (api.getUIPara == nullptr) break;
        api.getUIPara(para.bytes());
        if (para.linkState == 0) state = connecting;
        post_command(listener, "hard_have_new_connect");
        break;
    default:
        break;
    }
}

void hard_panel::show_timeout_alert()
{
    skin::show_tip(
        juce::MessageBoxIconType::InfoIcon,
        platform::tr(
            "HID两次通信超时，请将USB麦与电脑断开连接，然后再连接上（USB线拔插一下）",
            "HID communication timed out twice. Please unplug and re-plug the USB microphone to reconnect"));
}

void hard_panel::buttonClicked(juce::Button* button)
{
    if (!button->getToggleState()) return;
    int m = 0;
    while (m < 6 && modeButtons[(size_t)m].get() != button)
        ++m;
    choose_mode(m);
}

void hard_panel::choose_mode(int m)
{
    if (m < 0 || m > 5 || m == record().mode) return;
    change_ui_para([m](ui_para& p) { p.mode = (uint8_t)m; });
    show_mode();
}

const char* hard_panel::mode_name(int m)
{
    return modeNames[juce::jlimit(0, 5, m)];
}

void hard_panel::show_mode()
{
    const int mode = record().mode;
    for (int i = 0; i < 6; ++i)
        modeButtons[(size_t)i]->setToggleState(i == mode, juce::dontSendNotification);
}

void hard_panel::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\hd.jpg"), 0, 0);
}

hard_panel* the_hard_panel()
{
    return process_panel;
}
void set_the_hard_panel(hard_panel* panel)
{
    process_panel = panel;
}

bool change_ui_para(const std::function<void(ui_para&)>& edit)
{
    platform::scoped_critical_section lock(device_parameter_lock());
    if (process_panel == nullptr) return false;
    return process_panel->change_ui_para(edit);
}
