#include "device_link/result_codes.h"

namespace rerov {

namespace {

struct CodeMeaning {
    int code;
    const char* meaning;
};

constexpr CodeMeaning kMeanings[] = {
    {kResultSuccess, "success"},
    {kResultNoReply, "not connected or no reply"},
    {kResultWriteFailed, "report not written"},
    {kResultReceiverUnreachable, "device behind the receiver not reachable"},
    {kResultStatusFF, "device status 0xFF"},
    {kResultStatusFE, "device status 0xFE"},
    {kResultBadPage, "table page other than 0"},
};

}  // namespace

const char* ResultCodeMeaning(int code) {
    for (const CodeMeaning& entry : kMeanings) {
        if (entry.code == code) return entry.meaning;
    }
    return "unknown result code";
}

}  // namespace rerov
