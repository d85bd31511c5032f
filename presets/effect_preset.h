#pragma once
#include <array>
#include <cstdint>
#include <juce_core/juce_core.h>
#include <memory>

// One configuration of the device's effect processor: mic levels and EQ, reverb with its EQ,
// echo with its EQ. 98 bytes, packed, little-endian, exactly as the device reads it.
struct effect_preset
{
    static constexpr int size = 98;
    static constexpr int field_count = 67;
    // Byte ranges of the three blocks.
    static constexpr int mic_bytes = 26;
    static constexpr int reverb_begin = 26, reverb_end = 66;
    static constexpr int echo_begin = 66, echo_end = 98;

    std::array<uint8_t, size> bytes{};

    int get(int para) const;       // para 1-67
    void set(int para, int value); // stored in the field's width; the caller range-checks
    bool reverb_zero() const;
    bool echo_zero() const;
    // Reverb and echo blocks all zero: only the first 26 bytes mean anything.
    bool mic_only() const { return reverb_zero() && echo_zero(); }

    bool operator==(const effect_preset& o) const { return bytes == o.bytes; }
};
static_assert(sizeof(effect_preset) == effect_preset::size, "the device reads 98 packed bytes");

// The table of the 67 fields.
struct preset_field
{
    const char* key; // the name in the online list
    int offset;
    int width; // 1 or 2 bytes
    bool is_signed;
    int min, max; // closed range of valid values
};
const preset_field& field_of(int para);            // para 1-67
int para_of_key(const juce::String& key);          // 0 when no field has that key
int para_of_number_name(const juce::String& name); // "para1".."para67", else 0

// The names and records of the library, in order. The records sit in one block allocated once.
class preset_list
{
  public:
    static constexpr int capacity = 2048;
    preset_list();

    int count() const { return names.size(); }
    bool full() const { return count() >= capacity; }
    void clear() { names.clear(); }
    // The first min(count, capacity) entries of another list.
    void copy_from(const preset_list& other);
    // Ignored when the list is full.
    void append(const juce::String& name, const effect_preset& record);
    const juce::String& name(int index) const { return names.getReference(index); }
    const effect_preset& record(int index) const { return records[(size_t)index]; }

  private:
    juce::StringArray names;
    std::unique_ptr<effect_preset[]> records;
};

// Name suffixes; the online one follows the language switch.
juce::String online_suffix(bool english);
juce::String import_suffix();

// The two readers of one "category" element. The record must be zeroed beforehand. They give
// the name plus the import suffix (numbered form, "para1".."para67") or plus the online suffix
// (named form, the keys), and an empty name when the category is rejected.
juce::String read_para_category(const juce::XmlElement* category, effect_preset& record);
juce::String read_named_category(const juce::XmlElement* category, effect_preset& record, bool english);

// Root tag "effect_vk2max_list" in any letter case, with at least one child element.
bool is_list_root(const juce::XmlElement& root);

// Fills the list from an online list document (root "effect_vk2max_list"). Gives false when the
// root is wrong or empty (the list is then untouched); otherwise the list holds the accepted
// presets, which may be none.
bool read_online_list(const juce::XmlElement& root, preset_list& list, bool english);
