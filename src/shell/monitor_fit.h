#pragma once
// How big the main window is on a given monitor.

#include <QRect>
#include <QSize>

namespace rerov::shell {

/// The window's design size at 96 DPI.
inline constexpr QSize kFitBaseSize{1000, 640};

/// The result of fitting the main window to a monitor.
struct MonitorFit {
    int dpi = 96;    // 144 on a monitor wider than 1500 and taller than 960 pixels, else 96
    QSize size;      // the base size scaled by dpi / 96
    QRect geometry;  // the window centred on the monitor
};

/// Fits the window to `monitor` (the monitor's full rectangle in pixels).
MonitorFit FitToMonitor(const QRect& monitor);

}  // namespace rerov::shell
