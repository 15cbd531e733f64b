#include "tests/controls/test_support.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "controls/control_base.h"

namespace rerov::ui::test {

QStringList Recorder::Log() const {
    QStringList log;
    for (const Notification& n : received) log << n.type + u':' + n.SenderName();
    return log;
}

int Recorder::Count(const QString& type) const {
    int count = 0;
    for (const Notification& n : received) count += n.type == type ? 1 : 0;
    return count;
}

Host::Host() : window(std::make_unique<QWidget>()), bridge(new NotifyBridge(window.get())) {
    window->setObjectName(QStringLiteral("host"));
    window->resize(400, 300);
    bridge->AddNotifier(&recorder);
}

Host::~Host() = default;

namespace {
void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &event);
}
}  // namespace

void Press(QWidget* w, QPoint pos, Qt::KeyboardModifiers mods) {
    SendMouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, mods);
}
void Move(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
}
void Release(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}
void DoubleClick(QWidget* w, QPoint pos) {
    SendMouse(w, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
}
void Enter(QWidget* w) {
    QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(w->mapToGlobal(QPoint(1, 1))));
    QApplication::sendEvent(w, &event);
}
void Leave(QWidget* w) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(w, &event);
}
void KeyPress(QWidget* w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}
void ContextMenu(QWidget* w, QPoint pos) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, w->mapToGlobal(pos));
    QApplication::sendEvent(w, &event);
}

QImage Paint(QWidget* w, QColor background) {
    QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    QPainter painter(&image);
    if (auto* control = qobject_cast<CControlUI*>(w)) {
        control->DoPaint(painter, w->rect());
    }
    return image;
}

QImage Render(QWidget* w, QColor background) {
    QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(background);
    w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

}  // namespace rerov::ui::test
