#include "profiles/profile_names.h"

#include <gtest/gtest.h>

namespace rerov {
namespace {

TEST(ProfileNames, ComparisonIgnoresCaseBeyondAscii) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"Profile1", "PROFILE1", true},   {"Äpfel", "äPFEL", true}, {"Ωmega", "ωMEGA", true},
        {"Profile1", "Profile1 ", false}, {"a", "b", false},
    };
    for (const auto& [a, b, same] : cases) EXPECT_EQ(SameProfileName(a, b), same) << a << " " << b;
}

TEST(ProfileNames, BlankMeansOnlyWhiteSpace) {
    for (const char* blank : {"", " ", "\t\n", "\u3000"}) EXPECT_TRUE(IsBlankProfileName(blank));
    for (const char* name : {"a", " a ", "_"}) EXPECT_FALSE(IsBlankProfileName(name));
}

TEST(ProfileNames, ImportCountersAreAppendedToThePreviousCandidate) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "Game"},
        {{"game"}, "Game(1)"},
        {{"Game", "Game(1)"}, "Game(1)(2)"},
        {{"Game", "Game(1)", "Game(1)(2)"}, "Game(1)(2)(3)"},
        {{"Game(1)"}, "Game"},
    };
    for (const auto& [names, expected] : cases)
        EXPECT_EQ(ImportedProfileName("Game", names), expected);
}

TEST(ProfileNames, InUseSkipsTheGivenIndex) {
    const std::vector<std::string> names{"alpha", "beta"};
    EXPECT_FALSE(ProfileNameInUse(names, "ALPHA", 0));
    EXPECT_TRUE(ProfileNameInUse(names, "ALPHA", 1));
    EXPECT_TRUE(ProfileNameInUse(names, "Beta"));
}

}  // namespace
}  // namespace rerov
