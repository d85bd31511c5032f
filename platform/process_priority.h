#pragma once

namespace platform
{
// HIGH_PRIORITY_CLASS, unless the process is already there. Fails quietly without the right.
void raise_process_priority();
} // namespace platform
