#pragma once

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "controls/notification.h"
#include "controls/notify_bridge.h"

namespace rerov::ui::test {

/// Collects every notification a window's bridge delivers.
class Recorder : public INotifyUI {
  public:
    void Notify(const Notification& msg) override { received.push_back(msg); }
    /// "type:sender" of every notification, in order.
    QStringList Log() const;
    /// How many notifications of `type` arrived.
    int Count(const QString& type) const;
    std::vector<Notification> received;
};

/// A top-level widget with a bridge and a recorder attached.
struct Host {
    Host();
    ~Host();
    Recorder recorder;  // outlives the window, which may still report while it is torn down
    std::unique_ptr<QWidget> window;
    NotifyBridge* bridge;
};

void Press(QWidget* w, QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier);
void Move(QWidget* w, QPoint pos);
void Release(QWidget* w, QPoint pos);
void DoubleClick(QWidget* w, QPoint pos);
void Enter(QWidget* w);
void Leave(QWidget* w);
void KeyPress(QWidget* w, int key);
void ContextMenu(QWidget* w, QPoint pos);

/// Paints `w` alone (no children) into an image of its size over `background`.
QImage Paint(QWidget* w, QColor background = Qt::black);
/// Renders `w` with its children into an image.
QImage Render(QWidget* w, QColor background = Qt::black);

}  // namespace rerov::ui::test
