// CDeviceHook over a fake backend: modes name their messages, installing twice holds the
// input once, a refused grab installs nothing, and removal and destruction give it back.

#include "input_hook/device_hook.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace rerov::input_hook {
namespace {

struct FakeState {
    int starts = 0;
    int stops = 0;
    bool held = false;
    bool refuse = false;
};

class FakeBackend : public CaptureBackend {
  public:
    explicit FakeBackend(FakeState* state) : state_(state) {}
    std::string Name() const override { return "fake"; }
    bool IsDesktopWide() const override { return true; }
    bool Start() override {
        if (state_->refuse) return false;
        ++state_->starts;
        state_->held = true;
        return true;
    }
    void Stop() override {
        if (state_->held) ++state_->stops;
        state_->held = false;
    }
    bool IsStarted() const override { return state_->held; }
    void Press(ScanKey key) { onKey({key, true}); }
    void Click(std::uint16_t message) { onMouse({message, 1, 2, 0}); }

  private:
    FakeState* state_;
};

TEST(DeviceHook, TheTwentyNamesInRegistrationOrder) {
    EXPECT_STREQ(HookMessageName(HookMessage::KeySingleKey), "WM_HOOK_KEY_SINGLEKEY_MSG");
    EXPECT_STREQ(HookMessageName(HookMessage::KeyMsMacroLater), "WM_HOOK_KEY_MSMACROLATER_MSG");
    EXPECT_STREQ(HookMessageName(HookMessage::MouseMove), "UWM_MOUSEMOVE_USER_MSG");
    // Numbers 15 and 19 share their name.
    EXPECT_STREQ(HookMessageName(HookMessage::MouseRButtonDown),
                 HookMessageName(HookMessage::MouseRButtonDownAgain));
    std::set<std::string> names;
    for (int i = 1; i <= kHookMessageCount; ++i) {
        const char* name = HookMessageName(static_cast<HookMessage>(i));
        EXPECT_GT(std::strlen(name), 0u) << i;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 19u);
}

TEST(DeviceHook, ModesSendTheirMessages) {
    EXPECT_EQ(KeyMessageOfMode(kModeKeyCapture), HookMessage::KeySingleKey);
    EXPECT_EQ(KeyMessageOfMode(kModeRecordAppend), HookMessage::KeyKbMacro);
    EXPECT_EQ(KeyMessageOfMode(kModeRecordBefore), HookMessage::KeyKbMacroPrevious);
    EXPECT_EQ(KeyMessageOfMode(kModeRecordAfter), HookMessage::KeyKbMacroLater);
    EXPECT_EQ(KeyMessageOfMode(kModeRecordReplace), HookMessage::KeyKbMacroSingle);
    EXPECT_EQ(KeyMessageOfMode(1024), HookMessage::MouKbMacro);
    EXPECT_FALSE(KeyMessageOfMode(3).has_value());
    EXPECT_EQ(MouseMessageOfMode(kModeRecordAppend), HookMessage::KeyMsMacro);
    EXPECT_EQ(MouseMessageOfMode(kModeRecordReplace), HookMessage::KeyMsMacroSingle);
    EXPECT_FALSE(MouseMessageOfMode(kModeKeyCapture).has_value());
}

TEST(DeviceHook, InstallTwiceHoldsTheInputOnceAndRemoveGivesItBack) {
    FakeState state;
    auto backend = std::make_unique<FakeBackend>(&state);
    FakeBackend* fake = backend.get();
    std::vector<std::optional<HookMessage>> keyMessages;
    std::vector<std::optional<HookMessage>> mouseMessages;
    {
        CDeviceHook hook(std::move(backend));
        const auto onKey = [&](std::optional<HookMessage> m, const KeyEvent&) {
            keyMessages.push_back(m);
        };
        const auto onMouse = [&](std::optional<HookMessage> m, const MouseEvent&) {
            mouseMessages.push_back(m);
        };
        ASSERT_EQ(hook.Install(kModeKeyCapture, onKey, onMouse), 1);
        ASSERT_EQ(hook.Install(kModeRecordAfter, onKey, onMouse), 1);
        EXPECT_TRUE(state.held);
        EXPECT_EQ(state.starts - state.stops, 1) << "one grab at a time";
        fake->Press({0x1E, false});
        fake->Click(kMouseLeftDown);
        hook.Remove();
        EXPECT_FALSE(state.held);
        fake->Press({0x1E, false});  // nothing reported after removal
        ASSERT_EQ(hook.Install(kModeKeyCapture, onKey, onMouse), 1);
    }
    EXPECT_FALSE(state.held) << "the destructor gives the input back";
    ASSERT_EQ(keyMessages.size(), 1u);
    EXPECT_EQ(keyMessages[0], HookMessage::KeyKbMacroLater);
    ASSERT_EQ(mouseMessages.size(), 1u);
    EXPECT_EQ(mouseMessages[0], HookMessage::KeyMsMacroLater);
}

TEST(DeviceHook, ARefusedGrabInstallsNothing) {
    FakeState state;
    CDeviceHook hook(std::make_unique<FakeBackend>(&state));
    ASSERT_EQ(hook.Install(kModeRecordAppend, nullptr, nullptr), 1);
    state.refuse = true;
    EXPECT_EQ(hook.Install(kModeKeyCapture, nullptr, nullptr), 0);
    EXPECT_FALSE(hook.IsInstalled());
    EXPECT_FALSE(state.held);
    EXPECT_EQ(hook.Mode(), kModeRecordAppend) << "the mode stays as it was";
}

TEST(DeviceHook, WithoutBackendOnlyTheWindowCaptures) {
    CDeviceHook hook(nullptr);
    EXPECT_EQ(hook.Install(kModeKeyCapture, nullptr, nullptr), 0);
    EXPECT_EQ(hook.BackendName(), "window");
    EXPECT_FALSE(hook.IsDesktopWide());
}

TEST(DeviceHook, TheBestAvailableCaptureIsChosen) {
    struct Case {
        bool x11;
        bool evdev;
        CaptureKind kind;
    };
    const Case cases[] = {
        {true, true, CaptureKind::X11},
        {true, false, CaptureKind::X11},
        {false, true, CaptureKind::Evdev},
        {false, false, CaptureKind::Window},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseCaptureKind(c.x11, c.evdev), c.kind) << c.x11 << c.evdev;
    }
}

}  // namespace
}  // namespace rerov::input_hook
