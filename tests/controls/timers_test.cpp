#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <map>

#include "controls/control_base.h"
#include "controls/control_timers.h"

namespace rerov::ui {
namespace {

// Counts the timer ids a control receives.
class TimedControl : public CControlUI {
  public:
    std::map<int, int> fired;
    Qt::HANDLE thread = nullptr;

  protected:
    void OnControlTimer(int id) override {
        ++fired[id];
        thread = QThread::currentThreadId();
    }
};

// Runs the event loop until `done` or a generous limit; returns `done()`.
template <typename Pred>
bool RunUntil(Pred done, int limitMs = 10000) {
    QDeadlineTimer deadline(limitMs);
    while (!done() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return done();
}

TEST(ControlTimers, FireRepeatedlyWithTheirIdsOnTheUiThread) {
    TimedControl control;
    ASSERT_TRUE(SetControlTimer(&control, 1000, 5));
    ASSERT_TRUE(SetControlTimer(&control, 1005, 10));
    EXPECT_TRUE(IsControlTimerArmed(&control, 1000));
    EXPECT_TRUE(RunUntil([&] { return control.fired[1000] >= 3 && control.fired[1005] >= 2; }));
    EXPECT_EQ(control.thread, QThread::currentThreadId());
    EXPECT_TRUE(KillControlTimer(&control, 1000));
    EXPECT_TRUE(KillControlTimer(&control, 1005));
    EXPECT_FALSE(IsControlTimerArmed(&control, 1000));
}

TEST(ControlTimers, KilledTimerStopsAndKillOfUnknownIdFails) {
    TimedControl control;
    EXPECT_FALSE(KillControlTimer(&control, 1));
    ASSERT_TRUE(SetControlTimer(&control, 1, 1));
    ASSERT_TRUE(RunUntil([&] { return control.fired[1] >= 1; }));
    KillControlTimer(&control, 1);
    const int count = control.fired[1];
    // Another timer as a clock: several of its periods pass while the killed one stays quiet.
    SetControlTimer(&control, 2, 5);
    ASSERT_TRUE(RunUntil([&] { return control.fired[2] >= 5; }));
    EXPECT_EQ(control.fired[1], count);
    EXPECT_FALSE(KillControlTimer(&control, 1)) << "already stopped";
}

TEST(ControlTimers, RearmingAndSelfKillingHandlerFireOncePerArming) {
    // The pattern of the windows: the handler kills its own timer, so each arming fires once.
    class OneShot : public CControlUI {
      public:
        int fired = 0;

      protected:
        void OnControlTimer(int id) override {
            KillControlTimer(this, id);
            ++fired;
        }
    };
    OneShot control;
    for (int arming = 1; arming <= 3; ++arming) {
        SetControlTimer(&control, 1055, 1);
        SetControlTimer(&control, 1055, 2);  // re-arming replaces, never adds a second timer
        ASSERT_TRUE(RunUntil([&] { return control.fired >= arming; }));
        EXPECT_FALSE(IsControlTimerArmed(&control, 1055));
    }
    SetControlTimer(&control, 9, 5);  // a clock to let time pass
    TimedControl clock;
    SetControlTimer(&clock, 1, 5);
    ASSERT_TRUE(RunUntil([&] { return clock.fired[1] >= 5; }));
    EXPECT_EQ(control.fired, 4) << "three armings of 1055 and one of 9";
}

TEST(ControlTimers, PeriodIsTheLastArmingsWhileArmed) {
    TimedControl control;
    EXPECT_EQ(ControlTimerPeriod(&control, 1001), -1) << "never armed";
    SetControlTimer(&control, 1001, 500);
    SetControlTimer(&control, 1007, 2000);
    EXPECT_EQ(ControlTimerPeriod(&control, 1001), 500);
    SetControlTimer(&control, 1001, 3000);
    EXPECT_EQ(ControlTimerPeriod(&control, 1001), 3000);
    EXPECT_EQ(ControlTimerPeriod(&control, 1007), 2000) << "each id keeps its own";
    KillControlTimer(&control, 1001);
    EXPECT_EQ(ControlTimerPeriod(&control, 1001), -1) << "killed";
    EXPECT_EQ(ControlTimerPeriod(nullptr, 1007), -1);
}

TEST(ControlTimers, TimersEndWithTheirControlAndRejectBadArguments) {
    auto* control = new TimedControl;
    SetControlTimer(control, 3, 1);
    delete control;  // its timers go with it: nothing fires into a dead control
    TimedControl clock;
    SetControlTimer(&clock, 1, 5);
    EXPECT_TRUE(RunUntil([&] { return clock.fired[1] >= 3; }));
    EXPECT_FALSE(SetControlTimer(nullptr, 1, 10));
    EXPECT_FALSE(SetControlTimer(&clock, 1, -1));
}

}  // namespace
}  // namespace rerov::ui
