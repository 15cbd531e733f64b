#include "shell/page_entry_adapter.h"

#include "controls/select_panel.h"
#include "devices/pages/device_page.h"

namespace rerov::shell {

ManagedDevice& PageEntryAdapter::Device() { return page_.Device(); }
void PageEntryAdapter::StreamLightFrame() { page_.Device().StreamLightFrame(); }
void PageEntryAdapter::OnSyncRequest() { page_.Device().OnSyncRequest(); }
bool PageEntryAdapter::IsReceiverLinkAlive() {
    CZidiraUSBDevice& device = page_.Device();
    if (device.IsReceiverLinkAlive() == 0) return false;
    // A family without a check of its own answers 1; through the receiver only the device's
    // answer to the link query tells whether it is in reach.
    DeviceLink& link = device.MainLink();
    if (!link.IsConnected() || !link.IsReceiver()) return true;
    return link.QueryReceiverLink();
}
QWidget* PageEntryAdapter::KeyLightContainer() { return page_.SelectPanel(); }
bool PageEntryAdapter::IsWindowActive() const { return page_.Device().WindowActive(); }

}  // namespace rerov::shell
