#include "sim/fault_option.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace rerov::sim {

namespace {

struct KindName {
    const char* name;
    SimFault::Kind kind;
};

constexpr KindName kKinds[] = {
    {"no-reply", SimFault::Kind::NoReply},
    {"late-reply", SimFault::Kind::LateReply},
    {"wrong-command", SimFault::Kind::WrongCommand},
    {"status-ff", SimFault::Kind::StatusFF},
    {"status-fe", SimFault::Kind::StatusFE},
    {"write-fails", SimFault::Kind::WriteFails},
    {"disconnect-during", SimFault::Kind::DisconnectDuring},
};

// The largest report number and delay taken: far beyond any test or demo, small enough
// that no counter overflows.
constexpr uint32_t kMaxReportNumber = 1000000;
constexpr uint32_t kMaxDelayMs = 600000;
constexpr uint32_t kMaxCommand = 0xFF;

bool Fail(std::string* error, const std::string& text, const std::string& why) {
    if (error) *error = "bad fault \"" + text + "\": " + why;
    return false;
}

}  // namespace

std::string SimFaultKindNames() {
    std::string names;
    for (const KindName& kind : kKinds) {
        if (!names.empty()) names += ", ";
        names += kind.name;
    }
    return names;
}

bool ParseSimFault(const std::string& text, SimFault* fault, std::string* error) {
    // Split from the right: KIND @N :COMMAND +DELAYms, each part after KIND optional.
    std::string rest = text;
    std::string delayText, commandText, reportText;
    bool hasDelay = false, hasCommand = false, hasReport = false;
    if (const size_t plus = rest.find('+'); plus != std::string::npos) {
        delayText = rest.substr(plus + 1);
        rest.erase(plus);
        hasDelay = true;
    }
    if (const size_t colon = rest.find(':'); colon != std::string::npos) {
        commandText = rest.substr(colon + 1);
        rest.erase(colon);
        hasCommand = true;
    }
    if (const size_t at = rest.find('@'); at != std::string::npos) {
        reportText = rest.substr(at + 1);
        rest.erase(at);
        hasReport = true;
    }
    const KindName* kind = nullptr;
    for (const KindName& candidate : kKinds) {
        if (rest == candidate.name) kind = &candidate;
    }
    if (kind == nullptr) {
        return Fail(error, text,
                    "unknown kind \"" + rest + "\" (kinds: " + SimFaultKindNames() +
                        "; form KIND[@N][:COMMAND][+DELAYms])");
    }
    SimFault parsed;
    parsed.kind = kind->kind;
    uint32_t number = 1;
    if (hasReport && !ParseNumberText(reportText, 1, kMaxReportNumber, &number)) {
        return Fail(error, text, "the report number after @ must be 1 or more");
    }
    parsed.atReport = static_cast<int>(number);
    if (hasCommand) {
        if (!ParseNumberText(commandText, 0, kMaxCommand, &number)) {
            return Fail(error, text, "the command after : must be a byte (0-255 or 0x00-0xff)");
        }
        parsed.command = static_cast<int>(number);
    }
    if (hasDelay) {
        if (parsed.kind != SimFault::Kind::LateReply) {
            return Fail(error, text, "only late-reply takes a +DELAYms");
        }
        const bool unit = delayText.size() > 2 && delayText.ends_with("ms");
        if (!unit ||
            !ParseNumberText(delayText.substr(0, delayText.size() - 2), 0, kMaxDelayMs, &number)) {
            return Fail(error, text, "the delay after + must be milliseconds, e.g. +1500ms");
        }
        parsed.delay = std::chrono::milliseconds(number);
    } else if (parsed.kind == SimFault::Kind::LateReply) {
        parsed.delay = kDefaultLateReplyDelay;
    }
    *fault = parsed;
    return true;
}

bool ParseNumberText(const std::string& text, uint32_t min, uint32_t max, uint32_t* value) {
    int base = 10;
    size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    }
    if (start >= text.size()) return false;
    uint64_t parsed = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, parsed, base);
    if (ec != std::errc() || end != last || parsed < min || parsed > max) return false;
    *value = static_cast<uint32_t>(parsed);
    return true;
}

}  // namespace rerov::sim
