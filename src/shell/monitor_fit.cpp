#include "shell/monitor_fit.h"

namespace rerov::shell {

MonitorFit FitToMonitor(const QRect& monitor) {
    MonitorFit fit;
    fit.dpi = (monitor.width() > 1500 && monitor.height() > 960) ? 144 : 96;
    fit.contentScale = qreal(fit.dpi) / kDesignDpi;
    fit.size = QSize(kFitBaseSize.width() * fit.dpi / kDesignDpi,
                     kFitBaseSize.height() * fit.dpi / kDesignDpi);
    fit.geometry = QRect(QPoint(0, 0), fit.size);
    fit.geometry.moveCenter(monitor.center());
    return fit;
}

}  // namespace rerov::shell
