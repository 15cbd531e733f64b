#include "shell/page_entry_adapter.h"

#include "controls/select_panel.h"
#include "devices/pages/device_page.h"
#include "devices/pages/keyboard_page.h"

namespace rerov::shell {

ManagedDevice& PageEntryAdapter::Device() { return page_.Device(); }
// A keyboard gets the program's profile after its read-out: the profile is what the user
// made, and the keyboard may have lost it while it was unplugged or asleep.
void PageEntryAdapter::ReadAll() { ReadAndApplyOnArrival(page_); }
void PageEntryAdapter::StreamLightFrame() { page_.Device().StreamLightFrame(); }
void PageEntryAdapter::OnSyncRequest() { page_.Device().OnSyncRequest(); }
bool PageEntryAdapter::IsReceiverLinkAlive() {
    // Only a connected receiver link can have a device in reach behind it: a cable link or
    // a receiver that was unplugged answers false, so its entry is never shown again.
    DeviceLink& link = page_.Device().MainLink();
    if (!link.IsConnected() || !link.IsReceiver()) return false;
    if (page_.Device().IsReceiverLinkAlive() == 0) return false;
    return link.QueryReceiverLink();
}
QWidget* PageEntryAdapter::KeyLightContainer() { return page_.SelectPanel(); }
bool PageEntryAdapter::IsWindowActive() const { return page_.Device().WindowActive(); }

}  // namespace rerov::shell
