#pragma once
// Mouse and key events as a person's mouse and keyboard cause them, delivered through the
// application (so focus on click, propagation to parents and event filters all apply).
// The receiver may be deleted by what the events trigger. UI thread only.

#include <QPoint>
#include <QString>
#include <Qt>

class QWidget;

namespace rerov::remote_ui {

// A left-button press and release at `pos` (in `widget`'s coordinates), given to the
// deepest child of `widget` under that point, as the mouse would.
void ClickAt(QWidget* widget, const QPoint& pos);
// A left click at the centre of `widget`.
void ClickCentre(QWidget* widget);
// Press and release of `key` with `modifiers`, typing `text`.
void PressKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
              const QString& text = QString());
// One key press and release per character of `text`.
void TypeText(QWidget* widget, const QString& text);

}  // namespace rerov::remote_ui
