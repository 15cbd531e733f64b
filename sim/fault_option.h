#pragma once
// The text form of a simulator fault, as rerovctl --sim-fault takes it:
//
//   KIND[@N][:COMMAND][+DELAYms]
//
// KIND is one of no-reply, late-reply, wrong-command, status-ff, status-fe, write-fails,
// disconnect-during; N the 1-based report it fires at (default 1), counted among the
// reports of COMMAND when one is given (decimal or 0x-hex, default any command); DELAY
// the extra time of a late reply in milliseconds (late-reply only, default
// kDefaultLateReplyDelay: the host reads a reply twice with the cable's 1000 ms time-out, so
// a shorter delay on the cable is caught by its second read).
// Examples: status-fe@3, status-fe@3:0x09, late-reply@1:0x03+1500ms.

#include <chrono>
#include <cstdint>
#include <string>

#include "sim/simulated_bus.h"

namespace rerov::sim {

inline constexpr std::chrono::milliseconds kDefaultLateReplyDelay{3000};

// Parses one fault. False with a one-line reason (naming the valid kinds) on a bad fault text.
bool ParseSimFault(const std::string& text, SimFault* fault, std::string* error);

// A decimal or 0x-hex number in [min, max] that is the whole of `text` (the fault texts'
// numbers, and rerovctl's). False for anything else.
bool ParseNumberText(const std::string& text, uint32_t min, uint32_t max, uint32_t* value);

// The kind names of the text form, in SimFault::Kind order, comma-separated.
std::string SimFaultKindNames();

}  // namespace rerov::sim
