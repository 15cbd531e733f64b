#pragma once
// The control classes of the shell that layouts name.

namespace rerov::shell {

/// Registers "CDeviceOptionUI", "CMpDevicePowerUI" and "CPowerBarUI" with the control
/// factory (once is enough; repeating is harmless).
void RegisterShellControls();

}  // namespace rerov::shell
