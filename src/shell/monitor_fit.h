#pragma once
// How big the main window is on a given monitor.

#include <QRect>
#include <QSize>

namespace rerov::shell {

/// The window's design size at 96 DPI.
inline constexpr QSize kFitBaseSize{1000, 640};

/// The DPI the window's content is designed at.
inline constexpr int kDesignDpi = 96;

/// The result of fitting the main window to a monitor.
struct MonitorFit {
    int dpi = kDesignDpi;      // 144 on a monitor wider than 1500 and taller than 960, else 96
    QSize size;                // the base size scaled by dpi / 96
    QRect geometry;            // the window centred on the monitor
    qreal contentScale = 1.0;  // dpi / 96: what fonts, fixed sizes and margins are scaled by
};

/// Fits the window to `monitor` (the monitor's full rectangle in pixels).
MonitorFit FitToMonitor(const QRect& monitor);

}  // namespace rerov::shell
