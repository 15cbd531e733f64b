#pragma once
// Adapts a device page widget to what its list entry drives.

#include "shell/entry_page.h"

namespace rerov {
class CDevicePageUI;
}

namespace rerov::shell {

class PageEntryAdapter : public EntryPage {
  public:
    /// Drives `page`, which must outlive the adapter.
    explicit PageEntryAdapter(CDevicePageUI& page) : page_(page) {}
    ManagedDevice& Device() override;
    void ReadAll() override;
    void StreamLightFrame() override;
    void OnSyncRequest() override;
    bool IsReceiverLinkAlive() override;
    QWidget* KeyLightContainer() override;
    bool IsWindowActive() const override;

  private:
    CDevicePageUI& page_;
};

}  // namespace rerov::shell
