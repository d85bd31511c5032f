#pragma once
#include "platform/critical_section.h"
#include <cstdint>
#include <functional>

// The 27-byte device parameter record, exchanged whole with the device.
struct ui_para
{
    uint8_t mode, eqLevel1, eqLevel2, volume1, volume2, volume4, volume3, duckingLevel, denoiseLevel;
    uint8_t reserved9, librarySwitchB, hardMode, switch3, switch1, aiDenoise, headEnable;
    uint8_t lightMode, lightColour, lightColourMask, lightBrightness, librarySwitchA, eqPreset;
    uint8_t batteryVoltage, reserved23, headState, mainState, linkState;

    static constexpr int size = 27;
    uint8_t* bytes() { return reinterpret_cast<uint8_t*>(this); }
    const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(this); }
    bool operator==(const ui_para& other) const;
    bool operator!=(const ui_para& other) const { return !(*this == other); }

    // All zero, then lightColour 1, lightColourMask 1, headState 1.
    static ui_para initial();
};
static_assert(sizeof(ui_para) == ui_para::size, "ui_para must be 27 packed bytes");

// Battery icon level 1-6 from batteryVoltage (units of 10 mV, minus 200).
int battery_level(uint8_t batteryVoltage);

// The device-parameter lock, held by every change transaction.
platform::critical_section& device_parameter_lock();

// The record, its sender and the change transaction that sends only when a byte differs.
class ui_para_store
{
  public:
    using sender = std::function<void(ui_para&)>;
    explicit ui_para_store(sender send);

    ui_para& record() { return current; }
    const ui_para& record() const { return current; }

    // Runs the edit on a scratch copy under the lock; stores and sends it when it differs.
    // Returns true when something was sent.
    bool change(const std::function<void(ui_para&)>& edit);
    // Sends the record as it is, without the lock.
    void send() { send_record(current); }

  private:
    ui_para current = ui_para::initial();
    sender send_record;
};
