#include "tests/fake_devbridge.h"
#include <cstring>

namespace
{
fake_devbridge* current = new fake_devbridge;

int fake_init(hid_event_callback cb)
{
    current->initCalls++;
    current->callback = cb;
    return 0;
}
int fake_send(unsigned char* p)
{
    std::array<uint8_t, 27> r;
    std::memcpy(r.data(), p, 27);
    current->sent.push_back(r);
    return 0;
}
int fake_get(unsigned char* p)
{
    std::memcpy(p, current->device.data(), 27);
    return 0;
}
int fake_info(unsigned char* p)
{
    std::memcpy(p, current->info.data(), 250);
    return 0;
}
int fake_linked(unsigned char* p)
{
    std::memcpy(p, current->linkedInfo.data(), 250);
    return 0;
}
int fake_update(int* v, unsigned char* a, unsigned char* b, unsigned char*)
{
    *v = 7;
    a[0] = b[0] = 'u';
    return 0;
}
int fake_mic(unsigned char* p)
{
    current->blocks.emplace_back("P12MIC", std::vector<uint8_t>(p, p + 26));
    return 0;
}
int fake_setting(unsigned char* p)
{
    current->blocks.emplace_back("P12Setting", std::vector<uint8_t>(p, p + 98));
    return 0;
}
int fake_env(int a, int b)
{
    current->envCalls.emplace_back(a, b);
    return 0;
}
} // namespace

fake_devbridge& fake_devbridge::instance()
{
    return *current;
}
void fake_devbridge::reset()
{
    *current = fake_devbridge{};
}

devbridge_api fake_devbridge::api() const
{
    return api_with(
        "initHIDCtrl SendUIPara getUIPara getDeviceInfo getConDeviceInfo getUpdateInfo SendUIParaP12MIC "
        "SendUIParaP12Setting SetEnv");
}

devbridge_api fake_devbridge::api_with(const juce::String& names) const
{
    juce::StringArray n;
    n.addTokens(names, " ", "");
    devbridge_api a;
    if (n.contains("initHIDCtrl")) a.initHIDCtrl = fake_init;
    if (n.contains("SendUIPara")) a.SendUIPara = fake_send;
    if (n.contains("getUIPara")) a.getUIPara = fake_get;
    if (n.contains("getDeviceInfo")) a.getDeviceInfo = fake_info;
    if (n.contains("getConDeviceInfo")) a.getConDeviceInfo = fake_linked;
    if (n.contains("getUpdateInfo")) a.getUpdateInfo = fake_update;
    if (n.contains("SendUIParaP12MIC")) a.SendUIParaP12MIC = fake_mic;
    if (n.contains("SendUIParaP12Setting")) a.SendUIParaP12Setting = fake_setting;
    if (n.contains("SetEnv")) a.SetEnv = fake_env;
    return a;
}

void pump_messages(int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil(milliseconds);
}
