#pragma once
// The control timers of a device list entry: their ids and the delays they are armed with.
// The device manager arms the link check and the receiver watch on arrivals and path
// switches; the entry's own handlers arm the rest. Every timer fires once per arming, so a
// "repeat" delay is the one a handler re-arms its own timer with.

namespace rerov {

// Ids.
inline constexpr int kTimerLightFrame = 1000;     // streams the next lighting frame
inline constexpr int kTimerLinkCheck = 1001;      // link check and first read-out
inline constexpr int kTimerSyncRequest = 1002;    // re-read after a change on the device
inline constexpr int kTimerPowerStatus = 1005;    // reads the power status
inline constexpr int kTimerReceiverWatch = 1007;  // device behind the receiver in reach

// Delays in milliseconds, named after the moment they apply.
// Link check: when a command interface opens on the cable or the link switches to it...
inline constexpr int kLinkCheckAfterConnectMs = 500;
// ...and again while the device behind the receiver does not answer.
inline constexpr int kLinkCheckRetryMs = 3000;
// Lighting frame: the first one right after the link check's read-out, then one per period
// while the link is connected.
inline constexpr int kLightFrameAfterLinkCheckMs = 5;
inline constexpr int kLightFrameRepeatMs = 50;
// Power status: shortly after the link check, then periodically while the page has a
// power display.
inline constexpr int kPowerStatusAfterLinkCheckMs = 50;
inline constexpr int kPowerStatusRepeatMs = 5000;
// Receiver watch: first after the link check or a switch to the receiver, then
// periodically while the receiver link is connected.
inline constexpr int kReceiverWatchFirstMs = 2000;
inline constexpr int kReceiverWatchRepeatMs = 3000;
// Re-read after a change on the device, armed by the pages' input threads: the keyboard's
// and the mouse's events, and the mouse pad's.
inline constexpr int kSyncRequestAfterEventMs = 50;
inline constexpr int kSyncRequestAfterPadEventMs = 500;

}  // namespace rerov
