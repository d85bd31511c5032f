#include "platform/dynamic_library.h"

namespace platform
{
int library_bits(const juce::File& file)
{
    juce::FileInputStream in(file);
    if (!in.openedOk()) return 0;
    uint8_t dos[64] = {};
    if (in.read(dos, sizeof(dos)) != (int)sizeof(dos) || dos[0] != 'M' || dos[1] != 'Z') return 0;
    const uint32_t peOffset =
        (uint32_t)dos[60] | (uint32_t)dos[61] << 8 | (uint32_t)dos[62] << 16 | (uint32_t)dos[63] << 24;
    uint8_t pe[6] = {};
    if (!in.setPosition(peOffset) || in.read(pe, sizeof(pe)) != (int)sizeof(pe)) return 0;
    if (pe[0] != 'P' || pe[1] != 'E' || pe[2] != 0 || pe[3] != 0) return 0;
    switch (pe[4] | pe[5] << 8)
    {
    case 0x014c:
        return 32; // i386
    case 0x8664:
        return 64; // x86-64
    case 0xaa64:
        return 64; // ARM64
    default:
        return 0;
    }
}
} // namespace platform
