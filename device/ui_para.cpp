#include "device/ui_para.h"
#include <cstring>

bool ui_para::operator==(const ui_para& other) const
{
    return std::memcmp(bytes(), other.bytes(), size) == 0;
}

ui_para ui_para::initial()
{
    ui_para p;
    std::memset(p.bytes(), 0, size);
    p.lightColour = 1;
    p.lightColourMask = 1;
    p.headState = 1;
    return p;
}

int battery_level(uint8_t batteryVoltage)
{
    const int v = batteryVoltage + 200;
    if (v >= 401) return 6;
    if (v >= 390) return 5;
    if (v >= 378) return 4;
    if (v >= 374) return 3;
    if (v >= 361) return 2;
    return 1;
}

platform::critical_section& device_parameter_lock()
{
    static platform::critical_section lock;
    return lock;
}

ui_para_store::ui_para_store(sender send) : send_record(std::move(send)) {}

bool ui_para_store::change(const std::function<void(ui_para&)>& edit)
{
    platform::scoped_critical_section lock(device_parameter_lock());
    ui_para scratch = current;
    edit(scratch);
    if (scratch == current) return false;
    current = scratch;
    send_record(current);
    return true;
}
