// The keyboard's own events: decoding the codes, the input threads on the secondary
// interface, and what each event does.

#include "devices/keyboard/keyboard_event_codes.h"
#include "tests/devices/keyboard/keyboard_observed.h"

namespace rerov::test {
namespace {

using keyboard::DecodeEventCode;
using keyboard::DeviceEvent;
using keyboard::EventKind;

TEST(KeyboardEventCodes, DecodesEveryFormOfTheTable) {
    const std::vector<std::pair<uint16_t, DeviceEvent>> cases{
        {0x401, {EventKind::ConfigChanged}},
        {0x402, {EventKind::ProfileDataChanged}},
        {0x404, {EventKind::KeepAlive}},
        {0x403, {EventKind::Unknown}},
        {0x523, {EventKind::KeyPressed, 0x23}},
        {0x5FF, {EventKind::KeyPressed, 0xFF}},
        {0x600, {EventKind::KeyReleased, 0}},
        {0x1002, {EventKind::ProfileReport, 0, 2, -1}},
        {0x1132, {EventKind::ProfileReport, 0, 2, 3}},
        {0x11FF, {EventKind::ProfileReport, 0, 15, 15}},
        {0x1200, {EventKind::Unknown}},
        {0x0700, {EventKind::Unknown}},
        {0x0000, {EventKind::Unknown}},
    };
    for (const auto& [code, expected] : cases) {
        EXPECT_EQ(DecodeEventCode(code), expected) << std::hex << code;
    }
}

class KeyboardEvents : public ObservedKeyboardTest {
  protected:
    static constexpr int kKey = 17;
    static constexpr uint8_t kPosition = 0x23;

    void SetUp() override {
        ObservedKeyboardTest::SetUp();
        keyboard_->SetView(&view_);
        keyboard_->SetListEntry(&entry_);
        PositionMaps maps;
        maps.keyPosition = {{3, 0x40}, {kKey, kPosition}, {40, kPosition}};
        keyboard_->Publish(maps);
    }
    void TearDown() override {
        // The threads end before the view and the entry they use go.
        if (keyboard_ != nullptr) {
            keyboard_->CloseSecondary(kKindKeyboard);
            keyboard_->CloseSecondary(kKindKeyboardReceiver);
            keyboard_->SetView(nullptr);
            keyboard_->SetListEntry(nullptr);
        }
        ObservedKeyboardTest::TearDown();
    }

    // Plugs the path and opens its event interface as discovery does.
    void OpenEvents(bool receiver) {
        bus_->Plug(receiver ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable);
        const int row = receiver ? kKeyboardReceiverEventRow : kKeyboardCableEventRow;
        const std::string path = PathOfRow(row);
        ASSERT_FALSE(path.empty());
        keyboard_->OpenSecondary(path, receiver ? kKindKeyboardReceiver : kKindKeyboard);
        ASSERT_TRUE(keyboard_->IsSecondaryOpen(receiver ? kKindKeyboardReceiver : kKindKeyboard));
    }

    // Sends an event on the path and waits until the input thread acted on a following
    // configuration-change event (the sentinel, whose sync request is then forgotten), so
    // that everything sent before it has been handled. `syncs`: the sync requests the event
    // itself makes.
    void SendAndSettle(sim::SimPath path, uint16_t code, size_t syncs = 0) {
        size_t before = 0;
        {
            std::lock_guard<std::mutex> lock(entry_.signal.Mutex());
            before = entry_.requests.size();
        }
        ASSERT_TRUE(bus_->SendEventCode(path, code));
        ASSERT_TRUE(bus_->SendEventCode(path, keyboard::kConfigChangedCode));
        ASSERT_TRUE(entry_.signal.WaitFor([&] { return entry_.requests.size() > before + syncs; }));
        std::lock_guard<std::mutex> lock(entry_.signal.Mutex());
        entry_.requests.pop_back();
    }

    std::vector<ReactiveCall> Reactive() {
        std::lock_guard<std::mutex> lock(keyboard_->signal.Mutex());
        return keyboard_->reactive;
    }

    QueueingPageView view_;
    RecordingListEntry entry_;
};

TEST_F(KeyboardEvents, KeyEventsDriveTheReactiveStepOfTheReactiveModes) {
    OpenEvents(false);
    ASSERT_TRUE(keyboard_->IsInputThreadRunning(kKindKeyboard));
    SetMode(8);
    ASSERT_TRUE(bus_->PressKey(kPosition, true));
    ASSERT_TRUE(keyboard_->signal.WaitFor([&] { return !keyboard_->reactive.empty(); }));
    // The first key index at that position, pressed, on the input thread.
    EXPECT_EQ(Reactive(), (std::vector<ReactiveCall>{{8, kKey, 1}}));
    EXPECT_NE(keyboard_->reactiveThreads.front(), std::this_thread::get_id());

    for (int mode : {25, 7, 9}) {
        SetMode(mode);
        SendAndSettle(sim::SimPath::KeyboardCable, 0x600 + kPosition);
        EXPECT_EQ(Reactive().back(), (ReactiveCall{mode, kKey, 2}));
    }
    // Other modes, and positions without a key, do nothing.
    const size_t count = Reactive().size();
    SetMode(5);
    SendAndSettle(sim::SimPath::KeyboardCable, 0x500 + kPosition);
    SetMode(8);
    SendAndSettle(sim::SimPath::KeyboardCable, 0x500 + 0x77);
    EXPECT_EQ(Reactive().size(), count);
}

TEST_F(KeyboardEvents, TheReceiversThreadReadsTheReceiverSlot) {
    OpenEvents(true);
    EXPECT_TRUE(keyboard_->IsInputThreadRunning(kKindKeyboardReceiver));
    EXPECT_FALSE(keyboard_->IsInputThreadRunning(kKindKeyboard));
    SetMode(8);
    ASSERT_TRUE(bus_->SendEventCode(sim::SimPath::KeyboardReceiver, 0x500 + kPosition));
    ASSERT_TRUE(keyboard_->signal.WaitFor([&] { return !keyboard_->reactive.empty(); }));
    EXPECT_EQ(Reactive().front(), (ReactiveCall{8, kKey, 1}));
}

TEST_F(KeyboardEvents, ProfileReportSetsTheProfileAndShowsTheSettingsOnTheUiThread) {
    Connect();
    OpenEvents(false);
    SendAndSettle(sim::SimPath::KeyboardCable, 0x1132);
    EXPECT_EQ(keyboard_->CurrentOnboardProfile(), 2);
    EXPECT_EQ(keyboard_->ParameterBlock()[17], 3);
    {
        std::lock_guard<std::mutex> lock(view_.signal.Mutex());
        EXPECT_TRUE(view_.settingsShownOn.empty()) << "shown on the input thread";
        EXPECT_FALSE(view_.posted.empty());
    }
    view_.RunPosted();
    ASSERT_FALSE(view_.settingsShownOn.empty());
    for (std::thread::id id : view_.settingsShownOn) EXPECT_EQ(id, std::this_thread::get_id());

    // The short form leaves byte 17 alone.
    ASSERT_TRUE(bus_->SelectProfileOnDevice(1));
    ASSERT_TRUE(view_.signal.WaitFor([&] { return !view_.posted.empty(); }));
    EXPECT_EQ(keyboard_->CurrentOnboardProfile(), 1);
    EXPECT_EQ(keyboard_->ParameterBlock()[17], 3);
}

TEST_F(KeyboardEvents, ProfileReportIsIgnoredWhileTheCommandLinkIsDown) {
    OpenEvents(false);  // the event interface only
    SendAndSettle(sim::SimPath::KeyboardCable, 0x1132);
    EXPECT_EQ(keyboard_->CurrentOnboardProfile(), 0);
    EXPECT_EQ(keyboard_->ParameterBlock()[17], 0);
    std::lock_guard<std::mutex> lock(view_.signal.Mutex());
    EXPECT_TRUE(view_.posted.empty());
}

TEST_F(KeyboardEvents, ProfileDataChangeReloadsTheProfileBeforeTheBlock) {
    Connect();
    OpenEvents(false);
    std::vector<std::string>& calls = keyboard_->calls;
    keyboard_->SetProfileListReload([&calls] { calls.push_back("reload list"); });
    keyboard_->onApply = [this] { return Sent(0x05).size(); };

    SendAndSettle(sim::SimPath::KeyboardCable, 0x402, 1);
    EXPECT_EQ(entry_.requests, std::vector<int>{50});
    EXPECT_EQ(CZidiraKeyboardDevice::ProfileReloadMarker(), kProfileReloadMarker);
    ClearTrace();

    keyboard_->OnSyncRequest();  // the entry's sync timer, on the UI thread
    EXPECT_EQ(calls, (std::vector<std::string>{"reload list", "ApplyProfile"}));
    EXPECT_EQ(keyboard_->blockReadsAtApply, 0u);
    EXPECT_EQ(Sent(0x05).size(), 2u);  // profile number, then its block
    EXPECT_EQ(CZidiraKeyboardDevice::ProfileReloadMarker(), 0);
    view_.RunPosted();
    EXPECT_FALSE(view_.settingsShownOn.empty());
}

TEST_F(KeyboardEvents, ConfigurationChangeReadsOnlyTheBlock) {
    Connect();
    OpenEvents(false);
    keyboard_->SetProfileListReload([this] { keyboard_->calls.push_back("reload list"); });
    SendAndSettle(sim::SimPath::KeyboardCable, 0x401, 1);
    EXPECT_EQ(entry_.requests, std::vector<int>{50});
    EXPECT_EQ(CZidiraKeyboardDevice::ProfileReloadMarker(), 0);
    ClearTrace();

    keyboard_->OnSyncRequest();
    EXPECT_TRUE(keyboard_->calls.empty());
    EXPECT_EQ(Sent(0x05).size(), 2u);
}

TEST_F(KeyboardEvents, KeepAliveAndUnknownCodesDoNothing) {
    Connect();
    OpenEvents(false);
    for (uint16_t code : {0x404, 0x403, 0x0777, 0x1200}) {
        SendAndSettle(sim::SimPath::KeyboardCable, code);
    }
    EXPECT_TRUE(entry_.requests.empty());
    EXPECT_TRUE(Reactive().empty());
    EXPECT_EQ(keyboard_->CurrentOnboardProfile(), 0);
    std::lock_guard<std::mutex> lock(view_.signal.Mutex());
    EXPECT_TRUE(view_.posted.empty());
}

// The thread is blocked in a read without time-out when the slot closes: the close
// releases it. A hang here ends in the test's time-out.
TEST_F(KeyboardEvents, ClosingASlotStopsItsBlockedThread) {
    OpenEvents(false);
    OpenEvents(true);
    SendAndSettle(sim::SimPath::KeyboardCable, 0x404);
    SendAndSettle(sim::SimPath::KeyboardReceiver, 0x404);

    keyboard_->CloseSecondary(kKindKeyboard);
    EXPECT_FALSE(keyboard_->IsInputThreadRunning(kKindKeyboard));
    EXPECT_FALSE(keyboard_->IsSecondaryOpen(kKindKeyboard));
    EXPECT_TRUE(keyboard_->IsInputThreadRunning(kKindKeyboardReceiver));
    // The other slot still delivers.
    SendAndSettle(sim::SimPath::KeyboardReceiver, 0x404);

    // Reopening replaces the thread; the events reach the new one.
    OpenEvents(false);
    SendAndSettle(sim::SimPath::KeyboardCable, 0x404);
    keyboard_->CloseSecondary(kKindKeyboardReceiver);
    keyboard_->CloseSecondary(kKindKeyboard);
    EXPECT_FALSE(keyboard_->IsInputThreadRunning(kKindKeyboardReceiver));
    EXPECT_FALSE(keyboard_->IsInputThreadRunning(kKindKeyboard));
}

// The keyboard's own destructor ends its threads (a hang here ends in the test's time-out).
TEST_F(KeyboardEvents, DestroyingTheKeyboardStopsItsRunningThreads) {
    std::unique_ptr<CZidiraKeyboardDevice> plain = MakeKeyboard();
    ASSERT_NE(plain, nullptr);
    plain->SetListEntry(&entry_);
    for (bool receiver : {false, true}) {
        bus_->Plug(receiver ? sim::SimPath::KeyboardReceiver : sim::SimPath::KeyboardCable);
        const int row = receiver ? kKeyboardReceiverEventRow : kKeyboardCableEventRow;
        plain->OpenSecondary(PathOfRow(row), receiver ? kKindKeyboardReceiver : kKindKeyboard);
    }
    ASSERT_TRUE(plain->IsInputThreadRunning(kKindKeyboard));
    ASSERT_TRUE(plain->IsInputThreadRunning(kKindKeyboardReceiver));
    ASSERT_TRUE(bus_->SendEventCode(sim::SimPath::KeyboardReceiver, keyboard::kConfigChangedCode));
    ASSERT_TRUE(entry_.signal.WaitFor([&] { return !entry_.requests.empty(); }));
    plain.reset();
}

}  // namespace
}  // namespace rerov::test
