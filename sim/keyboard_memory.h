#pragma once
// The keyboard model's memory as named areas (info, keytable, ledtable, params, colors,
// macros, frame, power, host-lighting), for rerovctl sim memory and tests.

#include <vector>

#include "sim/device_memory.h"
#include "sim/keyboard_model.h"

namespace rerov::sim {

// The keyboard's areas, in listing order.
std::vector<MemoryAreaName> KeyboardMemoryAreaNames();

// Every area of the keyboard's memory, copied at one instant under the model's lock; the
// power status as the keyboard reports it over `link`.
std::vector<MemoryArea> KeyboardMemoryAreas(const KeyboardModel& model, KeyboardLink link);

}  // namespace rerov::sim
