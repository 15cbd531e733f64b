#include "shell/remote_ui/input_events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace rerov::remote_ui {

namespace {

void SendMouse(QWidget* receiver, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons) {
    const QPointF local(pos);
    const QPointF scene(receiver->mapTo(receiver->window(), pos));
    const QPointF global(receiver->mapToGlobal(pos));
    QMouseEvent event(type, local, scene, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(receiver, &event);
}

// The key code a keyboard reports for a character: letters as their capitals, others as
// their code point (Qt's key codes for printable characters).
int KeyOf(char32_t codePoint) { return static_cast<int>(QChar::toUpper(codePoint)); }

}  // namespace

void ClickAt(QWidget* widget, const QPoint& pos) {
    QWidget* under = widget->childAt(pos);
    QPointer<QWidget> receiver = under != nullptr ? under : widget;
    const QPoint local = receiver == widget ? pos : receiver->mapFrom(widget, pos);
    SendMouse(receiver, QEvent::MouseButtonPress, local, Qt::LeftButton);
    // The release goes where the press went, unless the press deleted it.
    if (receiver) SendMouse(receiver, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void ClickCentre(QWidget* widget) { ClickAt(widget, widget->rect().center()); }

void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers, const QString& text) {
    QPointer<QWidget> receiver = widget;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(receiver, &press);
    if (!receiver) return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(receiver, &release);
}

void TypeText(QWidget* widget, const QString& text) {
    QPointer<QWidget> receiver = widget;
    const QList<uint> codePoints = text.toUcs4();
    for (const uint codePoint : codePoints) {
        if (!receiver) return;
        const auto character = static_cast<char32_t>(codePoint);
        PressKey(receiver, KeyOf(character), Qt::NoModifier, QString::fromUcs4(&character, 1));
    }
}

}  // namespace rerov::remote_ui
