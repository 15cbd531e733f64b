#include "shell/page_entry_adapter.h"

#include "controls/select_panel.h"
#include "devices/pages/device_page.h"

namespace rerov::shell {

ManagedDevice& PageEntryAdapter::Device() { return page_.Device(); }
void PageEntryAdapter::StreamLightFrame() { page_.Device().StreamLightFrame(); }
void PageEntryAdapter::OnSyncRequest() { page_.Device().OnSyncRequest(); }
bool PageEntryAdapter::IsReceiverLinkAlive() { return page_.Device().IsReceiverLinkAlive() != 0; }
QWidget* PageEntryAdapter::KeyLightContainer() { return page_.SelectPanel(); }
bool PageEntryAdapter::IsWindowActive() const { return page_.Device().WindowActive(); }

}  // namespace rerov::shell
