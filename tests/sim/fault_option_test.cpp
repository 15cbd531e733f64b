// The text form of a simulator fault (rerovctl --sim-fault).

#include "sim/fault_option.h"

#include <gtest/gtest.h>

namespace rerov::sim {
namespace {

using namespace std::chrono_literals;
using Kind = SimFault::Kind;

struct GoodCase {
    const char* text;
    Kind kind;
    int atReport;
    int command;
    std::chrono::milliseconds delay;
};

const GoodCase kGood[] = {
    {"no-reply", Kind::NoReply, 1, -1, 0ms},
    {"status-fe@3", Kind::StatusFE, 3, -1, 0ms},
    {"status-fe@3:0x09", Kind::StatusFE, 3, 0x09, 0ms},
    {"status-ff:21", Kind::StatusFF, 1, 21, 0ms},
    {"wrong-command@2", Kind::WrongCommand, 2, -1, 0ms},
    {"write-fails@10:0X15", Kind::WriteFails, 10, 0x15, 0ms},
    {"disconnect-during@4", Kind::DisconnectDuring, 4, -1, 0ms},
    {"late-reply", Kind::LateReply, 1, -1, kDefaultLateReplyDelay},
    {"late-reply@2:0x03+250ms", Kind::LateReply, 2, 0x03, 250ms},
};

TEST(FaultOptionTest, EveryKindAndItsOptionalParts) {
    for (const GoodCase& c : kGood) {
        SCOPED_TRACE(c.text);
        SimFault fault;
        std::string error;
        ASSERT_TRUE(ParseSimFault(c.text, &fault, &error)) << error;
        EXPECT_EQ(fault.kind, c.kind);
        EXPECT_EQ(fault.atReport, c.atReport);
        EXPECT_EQ(fault.command, c.command);
        EXPECT_EQ(fault.delay, c.delay);
    }
}

TEST(FaultOptionTest, BadFaultsAreRefusedWithTheReason) {
    const std::pair<const char*, const char*> bad[] = {
        {"", "unknown kind"},
        {"status-fd@1", "unknown kind"},
        {"status-fe@0", "report number"},
        {"status-fe@", "report number"},
        {"status-fe@-1", "report number"},
        {"status-fe@3x", "report number"},
        {"status-fe@3:0x100", "command"},
        {"status-fe@3:", "command"},
        {"status-fe+10ms", "only late-reply"},
        {"late-reply+10", "milliseconds"},
        {"late-reply+ms", "milliseconds"},
        {"STATUS-FE", "unknown kind"},
    };
    for (const auto& [text, reason] : bad) {
        SCOPED_TRACE(text);
        SimFault fault;
        fault.atReport = 77;
        std::string error;
        EXPECT_FALSE(ParseSimFault(text, &fault, &error));
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(fault.atReport, 77) << "a refused fault leaves the fault alone";
    }
}

}  // namespace
}  // namespace rerov::sim
