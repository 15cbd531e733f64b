#pragma once
// The window's controls as the IPC channel sees them (UiRemote): the inventory, the event
// driving and the screenshot, with the timing of the action replies. UI thread only.

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

#include "shell/ui_remote.h"

class QWidget;

namespace rerov::remote_ui {

class RemoteUi : public QObject, public UiRemote {
    Q_OBJECT
  public:
    // Rounds of the event loop an action waits after its events, so that what they posted
    // (and what that posted in turn) has been handled before the reply.
    static constexpr int kSettleRounds = 3;
    // How often a nested event loop started by an action is checked for a modal window.
    static constexpr int kModalPollMs = 10;

    // Acts on `mainWindow` and the modal windows open over the application.
    explicit RemoteUi(QWidget* mainWindow, QObject* parent = nullptr);
    ~RemoteUi() override;

    std::vector<ControlInfo> Controls() const override;
    bool SaveScreenshot(const std::string& path, ScreenshotInfo* info, std::string* error) override;
    void Perform(const UiAction& action, Done done) override;

  private:
    struct Pending;

    void Deliver(const UiAction& action, const std::shared_ptr<Pending>& pending);
    void WatchForModal(const std::shared_ptr<Pending>& pending);
    void Settle(const std::shared_ptr<Pending>& pending, int roundsLeft);
    // Answers every action still waiting: the program is about to end.
    void FinishAll();

    QPointer<QWidget> main_;
    std::vector<std::weak_ptr<Pending>> live_;  // actions not yet answered (or just gone)
};

}  // namespace rerov::remote_ui
