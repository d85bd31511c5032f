#include "platform/window_hints.h"

namespace platform
{
void set_minimum_window_size(void*, int, int)
{
    // The notification area sizes its icons itself.
}
} // namespace platform
