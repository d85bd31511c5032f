#include "presets/tavri_zdy_set.h"
#include "device/hard_panel.h"
#include "platform/ui_language.h"
#include "presets/https_client.h"
#include "presets/list_file.h"
#include "skin/image_root.h"
#include "skin/tip_box.h"

namespace
{
const juce::Colour selectorColour(0xFF2C343F);

void show_switch(juce::Button& onButton, juce::Button& offButton, bool on)
{
    onButton.setToggleState(on, juce::dontSendNotification);
    offButton.setToggleState(!on, juce::dontSendNotification);
}
} // namespace

tavri_zdy_set::tavri_zdy_set() : juce::Thread("download thread")
{
    selectorLook.set_images("efflist\\2.jpg", "efflist\\4.jpg", "efflist\\3.jpg", "efflist\\1.jpg");

    presetSelector.setLookAndFeel(&selectorLook);
    refreshButton.setBounds(99, 76, 102, 30);
    presetSelector.setBounds(306, 76, 230, 30);
    saveButton.setBounds(576, 76, 102, 30);
    switchAOn.setBounds(270, 177, 44, 28);
    switchAOff.setBounds(320, 177, 44, 28);
    switchBOn.setBounds(526, 177, 44, 28);
    switchBOff.setBounds(576, 177, 44, 28);
    for (juce::Button* b : std::initializer_list<juce::Button*>{&refreshButton, &saveButton, &switchAOn,
                                                                &switchAOff, &switchBOn, &switchBOff})
    {
        b->addListener(this);
        addAndMakeVisible(*b);
    }
    presetSelector.addListener(this);
    addAndMakeVisible(presetSelector);
    for (auto id : {juce::ComboBox::backgroundColourId, juce::ComboBox::buttonColourId,
                    juce::ComboBox::outlineColourId, juce::ComboBox::arrowColourId})
        presetSelector.setColour(id, selectorColour);
    presetSelector.setColour(juce::ComboBox::textColourId, juce::Colours::white);

    if (load_list_file(presetList) > 0)
    {
        const juce::MessageManagerLock held;
        rebuild_selector();
    }
    sync_switches();
}

tavri_zdy_set::~tavri_zdy_set()
{
    for (juce::Button* b : std::initializer_list<juce::Button*>{&refreshButton, &saveButton, &switchAOn,
                                                                &switchAOff, &switchBOn, &switchBOff})
        b->removeListener(this);
    presetSelector.removeListener(this);
    // A running download gives up within a tenth of a second once asked to, and its
    // message-thread locks fail from then on, so this wait is short and cannot deadlock.
    signalThreadShouldExit();
    stopThread(10000);
    presetSelector.setLookAndFeel(nullptr);
}

void tavri_zdy_set::paint(juce::Graphics& g)
{
    g.drawImageAt(skin::image("PANEL\\zdy.jpg"), 0, 0);
}

void tavri_zdy_set::comboBoxChanged(juce::ComboBox* box)
{
    if (box != &presetSelector) return;
    const int id = presetSelector.getSelectedId();
    if (id > 0) apply_entry(id - 1);
}

bool tavri_zdy_set::apply_entry(int index)
{
    platform::scoped_critical_section lock(device_parameter_lock());
    auto* link = the_hard_panel();
    if (index < 0 || link == nullptr || index >= selectorPresets.count()) return false;
    presetSelector.setSelectedId(index + 1, juce::dontSendNotification);
    const effect_preset chosen = selectorPresets.record(index);
    const auto& api = link->library();
    if (chosen.mic_only())
    {
        std::copy_n(chosen.bytes.begin(), effect_preset::mic_bytes, currentPreset.bytes.begin());
        if (api.SendUIParaP12MIC != nullptr) api.SendUIParaP12MIC(currentPreset.bytes.data());
    }
    else
    {
        currentPreset = chosen;
        if (api.SendUIParaP12Setting != nullptr) api.SendUIParaP12Setting(currentPreset.bytes.data());
    }
    return true;
}

int tavri_zdy_set::entry_named(const juce::String& name) const
{
    for (int i = 0; i < selectorPresets.count(); ++i)
        if (selectorPresets.name(i) == name) return i;
    return -1;
}

void tavri_zdy_set::buttonClicked(juce::Button* button)
{
    platform::scoped_critical_section lock(device_parameter_lock());
    auto* link = the_hard_panel();
    if (button == &switchAOn || button == &switchAOff || button == &switchBOn || button == &switchBOff)
    {
        if (link == nullptr) return;
        link->change_ui_para(
            [&](ui_para& p)
            {
                if (button == &switchAOn || button == &switchAOff)
                {
                    p.librarySwitchA = button == &switchAOn ? 1 : 0;
                    show_switch(switchAOn, switchAOff, button == &switchAOn);
                }
                else
                {
                    p.librarySwitchB = button == &switchBOn ? 1 : 0;
                    show_switch(switchBOn, switchBOff, button == &switchBOn);
                }
            });
    }
    else if (button == &refreshButton)
    {
        if (downloadingFlag)
        {
            skin::show_tip(juce::MessageBoxIconType::InfoIcon,
                           platform::tr("正在下载音效,^_^ ", "Downloading sound effects,^_^ "));
            return;
        }
        refreshButton.setEnabled(false);
        downloadingFlag = true;
        // The previous download has ended; its thread may still be winding down.
        stopThread(10000);
        startThread();
    }
    else if (button == &saveButton)
    {
        if (link != nullptr && link->library().SetEnv != nullptr) link->library().SetEnv(0, 0);
    }
}

void tavri_zdy_set::rebuild_selector()
{
    if (presetList.count() == 0) return;
    selectorPresets.copy_from(presetList);
    presetSelector.clear(juce::dontSendNotification);
    for (int i = 0; i < selectorPresets.count(); ++i)
        presetSelector.addItem(selectorPresets.name(i), i + 1);
    presetSelector.setSelectedId(1, juce::dontSendNotification);
}

void tavri_zdy_set::sync_switches()
{
    auto* link = the_hard_panel();
    if (link == nullptr) return;
    const ui_para& p = link->record();
    show_switch(switchAOn, switchAOff, p.librarySwitchA != 0);
    if (p.librarySwitchB <= 1) show_switch(switchBOn, switchBOff, p.librarySwitchB == 1);
}

void tavri_zdy_set::set_controls_enabled(bool enabled)
{
    refreshButton.setEnabled(enabled);
    saveButton.setEnabled(enabled);
    presetSelector.setEnabled(enabled);
}

void tavri_zdy_set::run()
{
    const bool english = platform::ui_is_english();
    const juce::String path =
        english ? "/TavriUploadFile/VK2Max/list_kq3_en.xml" : "/TavriUploadFile/VK2Max/list_kq3.xml";
    https_limits limits;
    limits.should_stop = [this] { return threadShouldExit(); };
    auto root = fetch_xml(path, configured_list_hosts(), limits);

    if (root == nullptr)
    {
        // Not when the page is going away: the user did not ask for that.
        if (!threadShouldExit())
            juce::MessageManager::callAsync(
                []
                {
                    skin::show_tip_async(juce::MessageBoxIconType::WarningIcon,
                                         platform::tr("获取网络音效列表失败!",
                                                      "Failed to retrieve online sound effects list!"));
                });
    }
    else if (read_online_list(*root, presetList, english))
    {
        if (presetList.count() > 0) write_list_file(presetList);
        const juce::MessageManagerLock held(this);
        if (held.lockWasGained()) rebuild_selector();
    }
    root.reset();

    {
        const juce::MessageManagerLock held(this);
        if (held.lockWasGained()) refreshButton.setEnabled(true);
    }
    downloadingFlag = false;
}
