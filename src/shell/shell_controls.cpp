#include "shell/shell_controls.h"

#include "controls/control_factory.h"
#include "shell/device_option_ui.h"
#include "shell/mp_device_power_ui.h"
#include "shell/settings/update_info_list_item.h"

namespace rerov::shell {

void RegisterShellControls() {
    auto& factory = ui::ControlFactory::Instance();
    factory.RegistControl(QStringLiteral("CDeviceOptionUI"), [] { return new CDeviceOptionUI; });
    factory.RegistControl(QStringLiteral("CMpDevicePowerUI"), [] { return new CMpDevicePowerUI; });
    factory.RegistControl(QStringLiteral("CPowerBarUI"), [] { return new CPowerBarUI; });
    factory.RegistControl(QStringLiteral("CUpdateInfoListItemUI"),
                          [] { return new CUpdateInfoListItemUI; });
    factory.RegistControl(QStringLiteral("UpdateInfoListItemUI"),
                          [] { return new CUpdateInfoListItemUI; });
}

}  // namespace rerov::shell
