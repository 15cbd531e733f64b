#include "shell/remote_ui/remote_ui.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <vector>

#include "shell/remote_ui/control_driver.h"
#include "shell/remote_ui/control_inventory.h"
#include "shell/remote_ui/window_screenshot.h"

namespace rerov::remote_ui {

// One action between its request and its reply.
struct RemoteUi::Pending {
    Done done;
    bool delivering = false;        // its events are being delivered (maybe in a nested loop)
    QPointer<QWidget> modalBefore;  // the top-most modal window when delivery began
    QPointer<QWidget> popupBefore;  // the open pop-up when delivery began
    QString error;                  // why the control did not end as asked

    // Calls `done` the first time only.
    void Finish(const QString& reason) {
        if (!done) return;
        const Done call = std::move(done);
        done = nullptr;
        call(reason.toStdString());
    }
};

RemoteUi::RemoteUi(QWidget* mainWindow, QObject* parent) : QObject(parent), main_(mainWindow) {
    // An action that ends the program (closebtn without a tray) has done what was asked;
    // its reply goes out before the event loop that would have sent it is gone.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &RemoteUi::FinishAll);
}

void RemoteUi::FinishAll() {
    for (const std::weak_ptr<Pending>& weak : live_) {
        if (const std::shared_ptr<Pending> pending = weak.lock()) pending->Finish({});
    }
    live_.clear();
}

RemoteUi::~RemoteUi() = default;

std::vector<ControlInfo> RemoteUi::Controls() const {
    std::vector<ControlInfo> controls;
    const QList<QWidget*> windows = OpenWindows(main_);
    for (QWidget* window : windows) {
        const QList<QWidget*> named = NamedControls(window);
        for (QWidget* control : named) controls.push_back(Describe(control));
    }
    return controls;
}

bool RemoteUi::SaveScreenshot(const std::string& path, ScreenshotInfo* info, std::string* error) {
    QWidget* window = TopModalWindow();
    if (window == nullptr) window = main_;
    if (window == nullptr) {
        *error = "the window is not ready yet";
        return false;
    }
    QSize size;
    QString reason;
    if (!SaveWindowPng(window, QString::fromStdString(path), &size, &reason)) {
        *error = reason.toStdString();
        return false;
    }
    info->window = window->objectName().toStdString();
    info->width = size.width();
    info->height = size.height();
    return true;
}

void RemoteUi::Perform(const UiAction& action, Done done) {
    auto pending = std::make_shared<Pending>();
    pending->done = std::move(done);
    std::erase_if(live_, [](const std::weak_ptr<Pending>& weak) { return weak.expired(); });
    live_.push_back(pending);
    // From the event loop, not from inside the channel's read: an action may run a modal
    // loop, and the channel must go on serving meanwhile.
    QMetaObject::invokeMethod(
        this, [this, action, pending] { Deliver(action, pending); }, Qt::QueuedConnection);
}

void RemoteUi::Deliver(const UiAction& action, const std::shared_ptr<Pending>& pending) {
    QString error;
    const DeliverEvents events = PlanAction(main_, action, &error);
    if (!events) {
        pending->Finish(error);
        return;
    }
    pending->delivering = true;
    pending->modalBefore = TopModalWindow();
    pending->popupBefore = QApplication::activePopupWidget();
    // Runs only if the events start a nested event loop before they return.
    QMetaObject::invokeMethod(
        this, [this, pending] { WatchForModal(pending); }, Qt::QueuedConnection);
    pending->error = events();
    pending->delivering = false;
    Settle(pending, kSettleRounds);
}

void RemoteUi::WatchForModal(const std::shared_ptr<Pending>& pending) {
    if (!pending->done || !pending->delivering) return;
    // A nested loop runs: it is the action's answer once a new modal window or pop-up is
    // up; other nested loops (a wait for a device) are watched until the events return.
    QWidget* modal = TopModalWindow();
    QWidget* popup = QApplication::activePopupWidget();
    if ((modal != nullptr && modal != pending->modalBefore) ||
        (popup != nullptr && popup != pending->popupBefore)) {
        pending->Finish({});
        return;
    }
    QTimer::singleShot(kModalPollMs, this, [this, pending] { WatchForModal(pending); });
}

void RemoteUi::Settle(const std::shared_ptr<Pending>& pending, int roundsLeft) {
    if (!pending->done) return;
    if (roundsLeft <= 0) {
        pending->Finish(pending->error);
        return;
    }
    QMetaObject::invokeMethod(
        this, [this, pending, roundsLeft] { Settle(pending, roundsLeft - 1); },
        Qt::QueuedConnection);
}

}  // namespace rerov::remote_ui
