#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The simulated microphone: what a real unit would hold and report.
namespace devsim
{
struct info_fields
{
    std::string name, model, firmware, hardware, serial;
    void write_to(unsigned char* buffer) const; // five zero-terminated 50-byte fields
};

struct device_model
{
    std::string model = "KQ3";
    bool connected = false;
    std::array<uint8_t, 27> record{};
    info_fields info, linked;

    bool wireless() const { return model == "LN7" || model == "LN5"; }
    // Identity and start values for a unit of the given model.
    void reset_for(const std::string& modelName);
};

// Index of a record field by its name ("mode", "volume1", ..., or "bN"); -1 if unknown.
int field_index(const std::string& name);
std::string hex(const unsigned char* bytes, size_t count);
// Parses decimal or 0x-prefixed text into 0..max; false when it is not a number in range.
bool parse_number(const std::string& text, long max, long& value);
} // namespace devsim
