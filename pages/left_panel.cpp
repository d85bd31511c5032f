#include "pages/left_panel.h"
#include "device/connected_model.h"
#include "device/my_message.h"
#include "platform/command_runner.h"
#include "platform/program_settings.h"
#include "skin/image_root.h"

namespace
{
const juce::Rectangle<int> contentArea(186, 328, 822, 238);
const char* const navFolders[6] = {"fast", "rec", "rgb", "eq", "zdy", "about"};
const int navY[6] = {269, 317, 365, 413, 461, 509};
const int sliderX[4] = {251, 376, 502, 627};
// Channels 3 and 4 sit on bytes 6 and 5.
uint8_t ui_para::*const volumeFields[4] = {&ui_para::volume1, &ui_para::volume2, &ui_para::volume3,
                                           &ui_para::volume4};
const int switchX[3] = {291, 536, 793};
uint8_t ui_para::*const switchFields[3] = {&ui_para::switch1, &ui_para::hardMode, &ui_para::switch3};
const char* const denoiseFolders[4] = {"denoise\\1\\", "denoise\\2\\", "denoise\\AI1\\", "denoise\\AI2\\"};
// denoiseLevel, aiDenoise of each noise-reduction kind
const uint8_t denoiseValues[4][2] = {{6, 0}, {14, 0}, {0, 1}, {0, 3}};

juce::String percent(int v)
{
    return juce::String(v * 100 / 8) + "%";
}

main_page_hooks hooks;
} // namespace

main_page_hooks& main_hooks()
{
    return hooks;
}

left_panel::left_panel(const devbridge_api& api)
{
    for (int i = 0; i < 6; ++i)
    {
        auto& b = navButtons[(size_t)i];
        b = std::make_unique<skin_toggle>(juce::String("Navigation\\") + navFolders[i] + "\\");
        b->setBounds(13, navY[i], 164, 40);
        b->addListener(this);
        addAndMakeVisible(*b);
    }

    for (int n = 0; n < 4; ++n)
    {
        auto& ch = volumes[(size_t)n];
        ch.field = volumeFields[n];
        ch.slider = std::make_unique<juce::Slider>(juce::Slider::LinearVertical, juce::Slider::NoTextBox);
        ch.slider->setRange(0, 8, 1);
        ch.slider->setLookAndFeel(&sliderLooks[(size_t)n]);
        ch.slider->setBounds(sliderX[n], 180, 12, 120);
        ch.slider->addListener(this);
        addAndMakeVisible(*ch.slider);
        ch.label.setText("0", juce::dontSendNotification);
        ch.label.setColour(juce::Label::textColourId, juce::Colours::white);
        ch.label.setFont(juce::Font(16.0f));
        ch.label.setJustificationType(juce::Justification::centredLeft);
        ch.label.setBounds(sliderX[n] + 20, 302, 60, 20);
        addAndMakeVisible(ch.label);
        ch.mute = std::make_unique<skin_toggle>("laba\\");
        ch.mute->setBounds(sliderX[n] - 4, 304, 18, 16);
        ch.mute->addListener(this);
        addAndMakeVisible(*ch.mute);
    }
    for (int s = 0; s < 3; ++s)
    {
        auto& sw = switches[(size_t)s];
        sw.field = switchFields[s];
        sw.on = std::make_unique<skin_toggle>("on\\");
        sw.off = std::make_unique<skin_toggle>("off\\");
        for (auto* b : {sw.on.get(), sw.off.get()})
        {
            b->setBounds(switchX[s], 20, 44, 28);
            b->addListener(this);
            addAndMakeVisible(*b);
        }
    }
    duckingSwitch.setBounds(937, 142, 33, 18);
    denoiseSwitch.setBounds(937, 220, 33, 18);
    for (auto* b : {&duckingSwitch, &denoiseSwitch})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    for (int i = 0; i < 3; ++i)
    {
        auto& b = duckingLevels[(size_t)i];
        b = std::make_unique<skin_toggle>("dondge\\" + juce::String(i + 1) + "\\");
        b->setBounds(715 + i * 86, 176, 86, 28);
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    for (int i = 0; i < 4; ++i)
    {
        auto& b = denoiseKinds[(size_t)i];
        b = std::make_unique<skin_toggle>(denoiseFolders[i]);
        b->setBounds(715 + (i % 2) * 129, 246 + (i / 2) * 43, 129, 28);
        b->addListener(this);
        addAndMakeVisible(*b);
    }

    // Wireless section
    mainPair.setBounds(293, 81, 90, 28);
    mainState.setBounds(393, 87, 100, 15);
    headOn.setBounds(700, 81, 44, 28);
    headOff.setBounds(700, 81, 44, 28);
    headPair.setBounds(803, 81, 90, 28);
    headState.setBounds(903, 87, 100, 15);
    for (juce::Button* b : std::initializer_list<juce::Button*>{&mainPair, &headOn, &headOff, &headPair})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    addAndMakeVisible(mainState);
    addAndMakeVisible(headState);

    statusStrip.setBounds(20, 226, 120, 12);
    statusStrip.addMouseListener(this, false);
    addAndMakeVisible(statusStrip);
    devicePicture.setBounds(36, 35, 118, 165);
    addAndMakeVisible(devicePicture);
    batteryIcon.setBounds(146, 225, 28, 14);
    batteryIcon.set_single_image("battery\\1.png");
    batteryIcon.setEnabled(false);
    addChildComponent(batteryIcon);

    for (auto& sw : switches)
        show_switch(*sw.on, *sw.off, false);
    show_switch(headOn, headOff, true);
    show_strip("PANEL\\noconnect.png");
    devicePicture.show("PANEL\\kq3off.png");
    headState.show("wirestate\\head_work.png");
    mainState.show("wirestate\\main_unconnect.png");

    hardPanel = std::make_unique<hard_panel>(*this, api);
    set_the_hard_panel(hardPanel.get());
    eqPage = std::make_unique<tavri_eq3_set>();
    ledPage = std::make_unique<tavri_led_set>();
    zdyPage = std::make_unique<tavri_zdy_set>();
    recPage = std::make_unique<record_panel>();
    aboutPage = std::make_unique<tavri_about_set>();
    soundPage = std::make_unique<special_voice_panel>();
    soundPage->setBounds(1008, 0, 382, 574);
    addAndMakeVisible(*soundPage);
    pages[0] = hardPanel.get();
    pages[eq_page] = eqPage.get();
    pages[light_page] = ledPage.get();
    pages[library_page] = zdyPage.get();
    pages[recorder_page] = recPage.get();
    hooks.stop_recording = []
    {
        if (auto* r = the_recorder()) r->stop_if_recording();
    };
    hooks.reopen_audio_device = [] { reopen_shared_audio_device(); };
    device_hooks().close_audio_device = [] { close_shared_audio_device(); };
    pages[info_page] = aboutPage.get();
    place_pages();
    redraw_info();

    set_controls_enabled(false);

    int code = platform::read_sset("mode", 128);
    if (code != 128 && (code < 0 || code > 5)) code = 128;
    show_page(code);
}

left_panel::~left_panel()
{
    stopTimer();
    for (auto& ch : volumes)
        ch.slider->setLookAndFeel(nullptr);
    set_the_hard_panel(nullptr);
    // Soft mode first; the device link then leaves the device in hard mode.
    hardPanel->record().hardMode = 0;
    hardPanel->send_ui_para();
    hardPanel.reset();
    eqPage.reset();
    ledPage.reset();
    zdyPage.reset();
    recPage.reset();
    aboutPage.reset();
    soundPage.reset();
}

void left_panel::place_pages()
{
    for (auto* p : pages)
        if (p != nullptr && p->getParentComponent() != this)
        {
            p->setBounds(contentArea);
            addChildComponent(*p);
        }
}

void left_panel::set_page(int code, juce::Component* pageComponent)
{
    if (code < 1 || code > 5) return;
    pages[(size_t)code] = pageComponent;
    place_pages();
    show_page(pageCode);
}

void left_panel::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\bk.jpg"), 0, 0);
    g.drawImageAt(skin::image("PANEL\\bk1.jpg"), 186, 0);
}

void left_panel::handleMessage(const juce::Message& message)
{
    const auto* m = dynamic_cast<const my_message*>(&message);
    if (m == nullptr) return;
    if (m->command == "hard_have_new_para")
        refresh_from_record(false);
    else if (m->command == "hard_have_new_connect")
        refresh_from_record(true);
    else if (m->command == "hard_have_battery_para")
        show_battery(m->argument);
}

int left_panel::model_kind()
{
    const auto model = connected_model();
    if (model == "KQ3" || model == "KQ3X") return 1;
    if (model == "LN7" || model == "LN5") return 2;
    return 0;
}

void left_panel::show_page(int code)
{
    pageCode = (uint8_t)(code & 0xff);
    platform::write_sset("mode", juce::String((int)pageCode));
    for (auto* p : pages)
        if (p != nullptr) p->setVisible(false);
    for (auto& b : navButtons)
        b->setToggleState(false, juce::dontSendNotification);

    int index = -1;
    if ((pageCode & 0x80) != 0)
        index = 0;
    else if (pageCode >= 1 && pageCode <= 5)
        index = pageCode;
    if (index < 0) return;
    navButtons[(size_t)index]->setToggleState(true, juce::dontSendNotification);
    if (auto* p = pages[(size_t)index]) p->setVisible(true);
    if (index == 0) hardPanel->show_mode();
}

void left_panel::on_device_connecting()
{
    animFrame = 0;
    startTimer(500);
    show_strip("PANEL\\connecting.png");
}

void left_panel::timerCallback()
{
    stopTimer();
    animFrame = animFrame >= 2 ? 0 : animFrame + 1;
    const char* frames[3] = {"PANEL\\connecting.png", "PANEL\\connecting1.png", "PANEL\\connecting2.png"};
    show_strip(frames[animFrame]);
    startTimer(500);
}

void left_panel::on_device_connected()
{
    if (hooks.reopen_audio_device) hooks.reopen_audio_device();
    set_controls_enabled(true);
    const int kind = model_kind();
    mainPair.setEnabled(kind != 2);
    stopTimer();
    if (kind == 1)
    {
        show_strip("PANEL\\connect.png");
        devicePicture.show("PANEL\\kq3.png");
        zdyPage->set_controls_enabled(true);
    }
    else if (kind == 2)
    {
        show_strip("PANEL\\ln7connect.png");
        zdyPage->set_controls_enabled(false);
        show_link(hardPanel->record());
    }
}

void left_panel::show_link(const ui_para& record)
{
    const bool linked = record.linkState != 0;
    devicePicture.show(linked ? "PANEL\\kq3.png" : "PANEL\\kq3off.png");
    mainState.show(linked ? "wirestate\\main_connected.png" : "wirestate\\main_unconnect.png");
}

void left_panel::on_device_lost()
{
    set_controls_enabled(false);
    batteryIcon.setVisible(false);
    if (hooks.battery_shown) hooks.battery_shown(0);
    show_strip("PANEL\\noconnect.png");
    devicePicture.show("PANEL\\kq3off.png");
    mainState.show("wirestate\\main_unconnect.png");
    if (hooks.stop_recording) hooks.stop_recording();
    redraw_info();
    stopTimer();
    // The shared audio device is closed by the device link's own hook.
}

void left_panel::set_controls_enabled(bool enabled)
{
    for (auto& ch : volumes)
    {
        ch.slider->setEnabled(enabled);
        ch.mute->setEnabled(enabled);
    }
    for (auto& sw : switches)
    {
        sw.on->setEnabled(enabled);
        sw.off->setEnabled(enabled);
    }
    duckingSwitch.setEnabled(enabled);
    denoiseSwitch.setEnabled(enabled);
    for (auto& b : duckingLevels)
        b->setEnabled(enabled);
    for (auto& b : denoiseKinds)
        b->setEnabled(enabled);
    headOn.setEnabled(enabled);
    headOff.setEnabled(enabled);
    headPair.setEnabled(enabled);
    mainPair.setEnabled(enabled);
    for (auto* p : pages)
        if (p != nullptr) p->setEnabled(enabled);
    headState.setVisible(enabled);
}

void left_panel::redraw_info()
{
    if (model_kind() == 2)
        aboutPage->redraw(hardPanel->linked_device_info(), hardPanel->device_info());
    else
        aboutPage->redraw(hardPanel->device_info(), hardPanel->linked_device_info());
}

void left_panel::refresh_from_record(bool keepVolumeMemories)
{
    const ui_para record = hardPanel->record();
    show_sound_controls(record, keepVolumeMemories);

    const bool headEnabled = record.headEnable != 0;
    show_switch(headOn, headOff, headEnabled);
    headPair.setEnabled(headEnabled);

    // A wireless unit reports its link with the record, after the connection was announced.
    if (hardPanel->connection_state() != hard_panel::not_connected && model_kind() == 2) show_link(record);
    show_wireless_state(record);
    eqPage->redraw();
    redraw_info();
    zdyPage->sync_switches();
    ledPage->redraw();
    hardPanel->show_mode();
    mainPair.setEnabled(model_kind() != 2);
}

void left_panel::show_wireless_state(const ui_para& record)
{
    if (record.headEnable == 1)
    {
        const char* head[3] = {"wirestate\\head_close.png", "wirestate\\head_work.png",
                               "wirestate\\head_pair.png"};
        if (record.headState <= 2) headState.show(head[record.headState]);
    }
    else
        headState.show("wirestate\\head_close.png");

    if (record.mainState == 1)
        mainState.show("wirestate\\main_connected.png");
    else if (record.mainState == 2)
        mainState.show("wirestate\\main_pair.png");
}

void left_panel::show_battery(const juce::String& level)
{
    batteryIcon.setVisible(true);
    const int n = level.getIntValue();
    if (level.length() == 1 && n >= 1 && n <= 6)
    {
        batteryLevel = n;
        batteryIcon.set_single_image("battery\\" + level + ".png");
        if (hooks.battery_shown) hooks.battery_shown(model_kind() == 2 ? n : 0);
    }
    show_wireless_state(hardPanel->record());
    redraw_info();
}

void left_panel::show_sound_controls(const ui_para& record, bool keepVolumeMemories)
{
    for (int n = 0; n < 4; ++n)
    {
        auto& ch = volumes[(size_t)n];
        const int v = record.*ch.field;
        ch.slider->setValue(v, juce::dontSendNotification);
        ch.label.setText(percent(v), juce::dontSendNotification);
    }
    // Channel 2 first, then 1, 4 and 3.
    {
        auto& ch = volumes[1];
        const uint8_t v = record.*ch.field;
        if (!ch.mute->getToggleState())
            ch.memory = v;
        else if (v != 0)
        {
            if (!keepVolumeMemories) ch.memory = v;
            if (ch.memory > 0) ch.mute->setToggleState(false, juce::dontSendNotification);
        }
    }
    for (int n : {0, 3, 2})
    {
        auto& ch = volumes[(size_t)n];
        if (ch.memory <= 8) continue;
        if (!keepVolumeMemories) ch.memory = record.*ch.field;
        if (ch.memory > 0) ch.mute->setToggleState(false, juce::dontSendNotification);
    }

    for (auto& sw : switches)
    {
        show_switch(*sw.on, *sw.off, record.*sw.field != 0);
    }

    const bool denoiseOn = record.aiDenoise != 0 || record.denoiseLevel != 0;
    show_section(denoiseSwitch, denoiseKinds, denoiseOn);
    if (denoiseOn)
    {
        denoiseMemory[0] = record.denoiseLevel;
        denoiseMemory[1] = record.aiDenoise;
        const int kind = record.aiDenoise == 0      ? (record.denoiseLevel < 10 ? 0 : 1)
                         : record.denoiseLevel != 0 ? 0
                         : record.aiDenoise < 2     ? 2
                                                    : 3;
        show_denoise_kind(kind);
    }

    duckingMemory = record.duckingLevel;
    show_section(duckingSwitch, duckingLevels, record.duckingLevel != 0);
    if (record.duckingLevel != 0)
    {
        show_ducking_level(record.duckingLevel == 1 ? 1 : record.duckingLevel == 2 ? 2 : 3);
    }
}

void left_panel::show_switch(skin_toggle& onButton, skin_toggle& offButton, bool on)
{
    onButton.setToggleState(on, juce::dontSendNotification);
    offButton.setToggleState(!on, juce::dontSendNotification);
    onButton.setVisible(on);
    offButton.setVisible(!on);
}

template <size_t N>
void left_panel::show_section(skin_toggle& sectionSwitch,
                              std::array<std::unique_ptr<skin_toggle>, N>& options, bool on)
{
    sectionSwitch.setToggleState(on, juce::dontSendNotification);
    for (auto& b : options)
        b->setEnabled(on);
}

void left_panel::show_ducking_level(int level)
{
    if (level < 1 || level > 3) return;
    for (int i = 0; i < 3; ++i)
        duckingLevels[(size_t)i]->setToggleState(i == level - 1, juce::dontSendNotification);
}

void left_panel::show_denoise_kind(int index)
{
    for (int i = 0; i < 4; ++i)
        denoiseKinds[(size_t)i]->setToggleState(i == index, juce::dontSendNotification);
}

void left_panel::sliderValueChanged(juce::Slider* slider)
{
    for (auto& ch : volumes)
    {
        if (ch.slider.get() != slider) continue;
        change(
            [&](ui_para& p)
            {
                const uint8_t v = (uint8_t)(int)slider->getValue();
                p.*ch.field = v;
                ch.label.setText(percent(v), juce::dontSendNotification);
                ch.memory = v;
                if (v != 0) ch.mute->setToggleState(false, juce::dontSendNotification);
            });
        return;
    }
}

void left_panel::buttonClicked(juce::Button* button)
{
    for (int i = 0; i < 6; ++i)
        if (button == navButtons[(size_t)i].get())
        {
            show_page(i == 0 ? (pageCode | 0x80) : i);
            return;
        }
    if (button == &headPair || button == &mainPair)
    {
        button->setToggleState(false, juce::dontSendNotification);
        if (auto* setEnv = hardPanel->library().SetEnv) setEnv(button == &headPair ? 3 : 2, 0);
        return;
    }

    change(
        [&](ui_para& p)
        {
            for (auto& ch : volumes)
                if (button == ch.mute.get())
                {
                    // A memory that was never set takes the volume at the moment of muting, so a
                    // release never restores a value the device cannot take.
                    if (ch.mute->getToggleState() && ch.memory > 8) ch.memory = p.*ch.field;
                    const uint8_t v = ch.mute->getToggleState() ? 0 : juce::jmin<uint8_t>(ch.memory, 8);
                    ch.slider->setValue(v, juce::dontSendNotification);
                    ch.label.setText(percent(v), juce::dontSendNotification);
                    p.*ch.field = v;
                    return;
                }
            for (auto& sw : switches)
                if (button == sw.on.get() || button == sw.off.get())
                {
                    // Both buttons share one place and only the one of the current state shows, so a
                    // click on it asks for the other state.
                    const bool on = button == sw.off.get();
                    p.*sw.field = on ? 1 : 0;
                    show_switch(*sw.on, *sw.off, on);
                    return;
                }
            if (button == &headOn || button == &headOff)
            {
                const bool on = button == &headOff;
                p.headEnable = on ? 1 : 0;
                headPair.setEnabled(on);
                show_switch(headOn, headOff, on);
                return;
            }
            if (button == &duckingSwitch)
            {
                int level = 0;
                if (duckingSwitch.getToggleState())
                {
                    if (duckingMemory == 0) duckingMemory = 1;
                    level = duckingMemory;
                }
                for (auto& b : duckingLevels)
                    b->setEnabled(level != 0);
                p.duckingLevel = (uint8_t)level;
                show_ducking_level(level);
                return;
            }
            for (int i = 0; i < 3; ++i)
                if (button == duckingLevels[(size_t)i].get())
                {
                    duckingMemory = (uint8_t)(i + 1);
                    p.duckingLevel = (uint8_t)(i + 1);
                    show_ducking_level(i + 1);
                    return;
                }
            if (button == &denoiseSwitch)
            {
                const bool on = denoiseSwitch.getToggleState();
                p.denoiseLevel = on ? denoiseMemory[0] : 0;
                p.aiDenoise = on ? denoiseMemory[1] : 0;
                for (auto& b : denoiseKinds)
                    b->setEnabled(on);
                return;
            }
            for (int i = 0; i < 4; ++i)
                if (button == denoiseKinds[(size_t)i].get())
                {
                    show_denoise_kind(i);
                    p.denoiseLevel = denoiseValues[i][0];
                    p.aiDenoise = denoiseValues[i][1];
                    denoiseMemory[0] = denoiseValues[i][0];
                    denoiseMemory[1] = denoiseValues[i][1];
                    return;
                }
        });
}

std::vector<int> left_panel::set_fields(const std::vector<std::pair<int, int>>& fields)
{
    const ui_para before = hardPanel->record();
    change(
        [&](ui_para& p)
        {
            for (const auto& [index, value] : fields)
            {
                p.bytes()[index] = (uint8_t)value;
                for (auto& ch : volumes)
                    if (p.bytes() + index == &(p.*ch.field))
                    {
                        // What a move of that slider does.
                        ch.slider->setValue(value, juce::dontSendNotification);
                        ch.label.setText(percent(value), juce::dontSendNotification);
                        ch.memory = (uint8_t)value;
                        if (value != 0) ch.mute->setToggleState(false, juce::dontSendNotification);
                    }
            }
        });
    refresh_from_record(true);
    std::vector<int> changed;
    for (int i = 0; i < ui_para::size; ++i)
        if (before.bytes()[i] != hardPanel->record().bytes()[i]) changed.push_back(i);
    return changed;
}

void left_panel::set_mute(int channel, bool on)
{
    auto& toggle = *volumes[(size_t)(channel - 1)].mute;
    if (toggle.getToggleState() == on) return;
    toggle.setToggleState(on, juce::dontSendNotification);
    buttonClicked(&toggle);
}

void left_panel::mouseDoubleClick(const juce::MouseEvent& e)
{
    if (e.eventComponent != &statusStrip) return;
    if (e.mods.isRightButtonDown())
        platform::run_command("mmc devmgmt.msc");
    else if (e.mods.isLeftButtonDown())
        platform::run_command("rundll32.exe shell32.dll,Control_RunDLL MMSys.cpl");
}
