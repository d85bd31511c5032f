#include "device_model.h"
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace devsim
{
namespace
{
const char* const fieldNames[27] = {"mode",           "eqLevel1",    "eqLevel2",        "volume1",
                                    "volume2",        "volume4",     "volume3",         "duckingLevel",
                                    "denoiseLevel",   "reserved9",   "librarySwitchB",  "hardMode",
                                    "switch3",        "switch1",     "aiDenoise",       "headEnable",
                                    "lightMode",      "lightColour", "lightColourMask", "lightBrightness",
                                    "librarySwitchA", "eqPreset",    "batteryVoltage",  "reserved23",
                                    "headState",      "mainState",   "linkState"};

void put_field(unsigned char* at, const std::string& text)
{
    std::memset(at, 0, 50);
    std::memcpy(at, text.data(), text.size() < 49 ? text.size() : 49);
}
} // namespace

void info_fields::write_to(unsigned char* buffer) const
{
    put_field(buffer, name);
    put_field(buffer + 50, model);
    put_field(buffer + 100, firmware);
    put_field(buffer + 150, hardware);
    put_field(buffer + 200, serial);
}

void device_model::reset_for(const std::string& modelName)
{
    model = modelName;
    info = {"Tavri " + model, model, "1.0.3", "V1.1", model + "-2026-000417"};
    linked = wireless()
                 ? info_fields{"Tavri " + model + " TX", model + "-TX", "1.0.2", "V1.0", model + "TX-000418"}
                 : info_fields{};
    // mode, eq levels, four volumes, ducking, noise reduction, reserved, switches, lights, battery, states
    record = {0, 8, 8, 6, 6, 6, 6, 0, 6, 0x5a, 0, 1, 0, 1, 0, 1, 1, 3, 0x07, 5, 0, 0, 190, 0xa5, 1, 1, 1};
}

int field_index(const std::string& name)
{
    for (int i = 0; i < 27; ++i)
        if (name == fieldNames[i]) return i;
    if (name.size() > 1 && name[0] == 'b')
    {
        long index = 0;
        if (parse_number(name.substr(1), 26, index)) return (int)index;
    }
    return -1;
}

std::string hex(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < count; ++i)
    {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

bool parse_number(const std::string& text, long max, long& value)
{
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const bool isHex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    value = std::strtol(text.c_str() + (isHex ? 2 : 0), &end, isHex ? 16 : 10);
    return errno == 0 && end != nullptr && *end == 0 && value >= 0 && value <= max;
}
} // namespace devsim
