#include "platform/utf8_text.h"

namespace platform
{
namespace
{
const char replacement[] = "\xEF\xBF\xBD";
} // namespace

std::string repaired_utf8(const char* bytes, size_t size)
{
    const auto* s = reinterpret_cast<const uint8_t*>(bytes);
    std::string out;
    out.reserve(size);
    size_t i = 0;
    while (i < size)
    {
        const uint8_t b = s[i];
        if (b < 0x80)
        {
            if (b == 0)
                out += replacement;
            else
                out += (char)b;
            ++i;
            continue;
        }
        // Length and the range of the second byte (no overlong forms, surrogates or past U+10FFFF).
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF)
            length = 2;
        else if (b >= 0xE0 && b <= 0xEF)
        {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        }
        else if (b >= 0xF0 && b <= 0xF4)
        {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        }
        size_t good = length == 0 ? 0 : 1;
        while (good > 0 && good < length && i + good < size)
        {
            const uint8_t c = s[i + good];
            const bool fits = good == 1 ? (c >= low && c <= high) : (c >= 0x80 && c <= 0xBF);
            if (!fits) break;
            ++good;
        }
        if (length != 0 && good == length)
            out.append(bytes + i, length);
        else
            out += replacement; // the lead byte and the continuation bytes that fitted
        i += good == 0 ? 1 : good;
    }
    return out;
}

juce::String utf8_text(const void* bytes, size_t size)
{
    if (size == 0 || size > (size_t)std::numeric_limits<int>::max() / 3) return {};
    auto* text = static_cast<const char*>(bytes);
    size_t skip = 0;
    if (size >= 3 && (uint8_t)text[0] == 0xEF && (uint8_t)text[1] == 0xBB && (uint8_t)text[2] == 0xBF)
        skip = 3;
    const auto valid = repaired_utf8(text + skip, size - skip);
    return juce::String::fromUTF8(valid.data(), (int)valid.size());
}

juce::String utf8_file_text(const juce::File& file)
{
    juce::MemoryBlock bytes;
    if (!file.loadFileAsData(bytes)) return {};
    return utf8_text(bytes.getData(), bytes.getSize());
}

juce::String valid_text(const juce::String& text)
{
    // Checked on the bytes: a code point past U+10FFFF is stored as a lead byte that the
    // framework may decode as some other, valid-looking character.
    const char* raw = text.toRawUTF8();
    const size_t size = text.getNumBytesAsUTF8();
    const auto valid = repaired_utf8(raw, size);
    if (valid.size() == size && std::memcmp(valid.data(), raw, size) == 0) return text;
    return juce::String::fromUTF8(valid.data(), (int)valid.size());
}

} // namespace platform
