#pragma once
// A family's real device page built from the skin, and laid out at a size as the window
// would, for the page tests.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QSize>
#include <memory>

#include "devices/family_devices.h"
#include "devices/pages/device_page.h"

namespace rerov::testing {

// The page of `family` on the first supported device row, its layout built.
inline std::unique_ptr<CDevicePageUI> BuildFamilyPage(int family) {
    auto page = std::make_unique<CDevicePageUI>(
        CreateFamilyDevice(family, SupportedDevices(DeviceIds{})[0]));
    QString error;
    EXPECT_TRUE(page->BuildContent(nullptr, &error)) << error.toStdString();
    return page;
}

// Shows the page at `size` and lets its layouts and its picture settle.
inline void LayOut(CDevicePageUI& page, QSize size) {
    page.resize(size);
    page.show();
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

}  // namespace rerov::testing
