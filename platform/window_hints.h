#pragma once

namespace platform
{
// Gives a native top-level window a minimum size before a tray or window manager takes it in
// (a notification area sizes an icon from its hints when it docks). Does nothing without a
// display.
void set_minimum_window_size(void* nativeWindow, int width, int height);
} // namespace platform
