#pragma once
// Internal to CMainWnd: one device page with its list entry and power display.

#include <QPointer>
#include <memory>

#include "devices/pages/device_page.h"
#include "shell/device_option_ui.h"
#include "shell/main_wnd.h"
#include "shell/mp_device_power_ui.h"
#include "shell/page_entry_adapter.h"

namespace rerov::shell {

// The widgets belong to their containers; the slot only points at them.
struct CMainWnd::PageSlot {
    QPointer<CDevicePageUI> page;
    QPointer<CMpDevicePowerUI> power;
    QPointer<CDeviceOptionUI> entry;
    std::unique_ptr<PageEntryAdapter> adapter;
    int group = -1;
};

}  // namespace rerov::shell
