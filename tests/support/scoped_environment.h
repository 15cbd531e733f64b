#pragma once
// ScopedEnvironment: sets an environment variable for as long as it lives and then puts back
// what was there before (the old value, or no variable at all). Tests use it for every
// variable they set, so a failed assertion that leaves the test early cannot leave the
// variable pointing at a folder that is deleted by then.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QtGlobal>
#include <optional>

namespace rerov::test {

class ScopedEnvironment {
  public:
    // Sets name to value.
    ScopedEnvironment(const char* name, const QByteArray& value)
        : name_(name), previous_(Current(name)) {
        Set(value);
    }
    // Removes name.
    explicit ScopedEnvironment(const char* name) : name_(name), previous_(Current(name)) {
        Unset();
    }
    ~ScopedEnvironment() {
        if (previous_) {
            Set(*previous_);
        } else {
            Unset();
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    void Set(const QByteArray& value) {
        if (!qputenv(name_, value)) ADD_FAILURE() << "cannot set " << name_;
    }
    void Unset() {
        if (!qunsetenv(name_)) ADD_FAILURE() << "cannot remove " << name_;
    }
    // An empty variable is kept as empty, not as absent.
    static std::optional<QByteArray> Current(const char* name) {
        if (!qEnvironmentVariableIsSet(name)) return std::nullopt;
        return qgetenv(name);
    }

    const char* name_;
    std::optional<QByteArray> previous_;
};

}  // namespace rerov::test
