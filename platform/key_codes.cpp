#include "platform/key_codes.h"

namespace platform
{
int windows_key_code(const juce::KeyPress& key)
{
    using K = juce::KeyPress;
    constexpr int ext = 0x10000;
    const int k = key.getKeyCode();
    if (k >= 'a' && k <= 'z') return k - 'a' + 'A';
    for (int d = 0; d <= 9; ++d)
        if (k == K::numberPad0 + d) return (0x60 + d) | ext;
    for (int n = 0; n < 24; ++n)
        if (k == K::F1Key + n) return (0x70 + n) | ext;
    const std::pair<int, int> named[] = {
        {K::spaceKey, 0x20},
        {K::returnKey, 0x0D},
        {K::escapeKey, 0x1B},
        {K::backspaceKey, 0x08},
        {K::tabKey, 0x09},
        {K::deleteKey, 0x2E | ext},
        {K::insertKey, 0x2D | ext},
        {K::leftKey, 0x25 | ext},
        {K::rightKey, 0x27 | ext},
        {K::upKey, 0x26 | ext},
        {K::downKey, 0x28 | ext},
        {K::homeKey, 0x24 | ext},
        {K::endKey, 0x23 | ext},
        {K::pageUpKey, 0x21 | ext},
        {K::pageDownKey, 0x22 | ext},
        {K::numberPadMultiply, 0x6A | ext},
        {K::numberPadAdd, 0x6B | ext},
        {K::numberPadSeparator, 0x6C | ext},
        {K::numberPadSubtract, 0x6D | ext},
        {K::numberPadDecimalPoint, 0x6E | ext},
        {K::numberPadDivide, 0x6F | ext},
    };
    for (auto [here, windows] : named)
        if (k == here) return windows;
    return k; // digits and punctuation: the character, as on Windows
}

bool is_modifier_key(int virtualKey)
{
    switch (virtualKey)
    {
    case 0:
    case 0x10: // Shift, Ctrl, Alt
    case 0x11:
    case 0x12:
    case 0x14: // Caps Lock
    case 0x5B: // the Windows keys
    case 0x5C:
    case 0x90: // Num Lock, Scroll Lock
    case 0x91:
    case 0xA0: // left and right Shift, Ctrl, Alt
    case 0xA1:
    case 0xA2:
    case 0xA3:
    case 0xA4:
    case 0xA5:
        return true;
    default:
        return false;
    }
}
} // namespace platform
