// The monitor fit as a pure function: DPI, window size, content scale and placement.

#include "shell/monitor_fit.h"

#include <gtest/gtest.h>

namespace rerov::shell {
namespace {

TEST(MonitorFit, TableOfMonitors) {
    struct Case {
        QRect monitor;
        int dpi;
        QSize size;
        qreal contentScale;
    };
    const Case cases[] = {
        {QRect(0, 0, 1600, 1000), 144, QSize(1500, 960), 1.5},
        {QRect(0, 0, 1920, 1080), 144, QSize(1500, 960), 1.5},
        {QRect(0, 0, 1501, 961), 144, QSize(1500, 960), 1.5},  // just wider and taller
        {QRect(0, 0, 1500, 1200), 96, QSize(1000, 640), 1.0},  // not wider than 1500
        {QRect(0, 0, 2560, 960), 96, QSize(1000, 640), 1.0},   // not taller than 960
        {QRect(0, 0, 1366, 768), 96, QSize(1000, 640), 1.0},
        {QRect(0, 0, 1024, 768), 96, QSize(1000, 640), 1.0},
        {QRect(0, 0, 800, 600), 96, QSize(1000, 640), 1.0},  // the window may overhang
        {QRect(1920, 0, 2560, 1440), 144, QSize(1500, 960), 1.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.monitor.width()) + "x" + std::to_string(c.monitor.height()));
        const MonitorFit fit = FitToMonitor(c.monitor);
        EXPECT_EQ(fit.dpi, c.dpi);
        EXPECT_EQ(fit.size, c.size);
        EXPECT_DOUBLE_EQ(fit.contentScale, c.contentScale);
        EXPECT_EQ(fit.geometry.size(), c.size);
        EXPECT_EQ(fit.geometry.center(), c.monitor.center());
    }
}

}  // namespace
}  // namespace rerov::shell
