#include "tests/support/scoped_environment.h"

#include <gtest/gtest.h>

#include <optional>

namespace rerov::test {
namespace {

constexpr const char* kName = "REROV_SCOPED_ENVIRONMENT_TEST";

std::optional<QByteArray> Current() {
    if (!qEnvironmentVariableIsSet(kName)) return std::nullopt;
    return qgetenv(kName);
}

void Put(const std::optional<QByteArray>& value) {
    if (value) {
        ASSERT_TRUE(qputenv(kName, *value));
    } else {
        ASSERT_TRUE(qunsetenv(kName));
    }
}

TEST(ScopedEnvironment, PutsBackWhatWasThereBefore) {
    struct Case {
        const char* name;
        std::optional<QByteArray> before;
        std::optional<QByteArray> inside;  // nullopt: the scope removes the variable
    };
    const Case cases[] = {
        {"absent, then set", std::nullopt, QByteArray("/tmp/a")},
        {"set, then replaced", QByteArray("/home/x"), QByteArray("/tmp/a")},
        {"empty stays empty, not absent", QByteArray(""), QByteArray("/tmp/a")},
        {"set, then removed", QByteArray("/home/x"), std::nullopt},
        {"absent, then removed", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Put(c.before);
        {
            std::optional<ScopedEnvironment> scope;
            if (c.inside) {
                scope.emplace(kName, *c.inside);
            } else {
                scope.emplace(kName);
            }
            EXPECT_EQ(Current(), c.inside);
        }
        EXPECT_EQ(Current(), c.before);
    }
    Put(std::nullopt);
}

TEST(ScopedEnvironment, NestedScopesUnwindInOrder) {
    Put(QByteArray("outer"));
    {
        ScopedEnvironment first(kName, "first");
        {
            ScopedEnvironment second(kName, "second");
            EXPECT_EQ(Current(), QByteArray("second"));
        }
        EXPECT_EQ(Current(), QByteArray("first"));
    }
    EXPECT_EQ(Current(), QByteArray("outer"));
    Put(std::nullopt);
}

}  // namespace
}  // namespace rerov::test
