#include "shell/remote_ui/control_inventory.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

#include "controls/control_base.h"
#include "controls/list_base.h"
#include "controls/option_ui.h"
#include "controls/progress_ui.h"

namespace rerov::remote_ui {

namespace {

std::string Std(const QString& text) { return text.toStdString(); }

// The toolkit's controls and their state; false when `control` is none of them.
bool DescribeToolkitControl(QWidget* control, ControlInfo* info) {
    auto* base = qobject_cast<ui::CControlUI*>(control);
    if (base == nullptr) return false;
    info->className = Std(base->GetClass());
    if (!base->GetText().isEmpty()) info->text = Std(base->GetText());
    // The window's background (the skin) is what these show.
    if (!base->GetBkImage().isEmpty()) info->bkimage = Std(base->GetBkImage());
    if (base->GetBkColor() != 0) {
        info->bkcolor =
            Std(QStringLiteral("#%1").arg(base->GetBkColor(), 8, 16, QLatin1Char('0')).toUpper());
    }
    if (auto* option = qobject_cast<ui::COptionUI*>(control)) {
        info->selected = option->IsSelected();
    } else if (auto* row = qobject_cast<ui::CListContainerElementUI*>(control)) {
        info->selected = row->IsSelected();
    } else if (auto* list = qobject_cast<ui::CListUI*>(control)) {
        info->index = list->GetCurSel();
        info->count = static_cast<int>(list->Elements().size());
    } else if (auto* tabs = qobject_cast<ui::CTabLayoutUI*>(control)) {
        info->index = tabs->GetCurSel();
        info->count = static_cast<int>(tabs->Items().size());
    } else if (auto* progress = qobject_cast<ui::CProgressUI*>(control)) {
        info->value = progress->GetValue();
        info->minimum = progress->GetMinValue();
        info->maximum = progress->GetMaxValue();
    }
    return true;
}

// Qt's own widgets and their state.
void DescribeQtWidget(QWidget* control, ControlInfo* info) {
    info->className = control->metaObject()->className();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        info->text = Std(button->text());
        if (button->isCheckable()) info->checked = button->isChecked();
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        info->text = Std(label->text());
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        info->text = Std(edit->text());
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        info->index = combo->currentIndex();
        info->count = combo->count();
        info->text = Std(combo->currentText());
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        info->value = slider->value();
        info->minimum = slider->minimum();
        info->maximum = slider->maximum();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) {
        info->text = Std(spin->text());
        if (auto* integer = qobject_cast<QSpinBox*>(control)) {
            info->value = integer->value();
            info->minimum = integer->minimum();
            info->maximum = integer->maximum();
        }
    } else if (auto* text = qobject_cast<QTextEdit*>(control)) {
        info->text = Std(text->toPlainText());
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        info->text = Std(plain->toPlainText());
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        const QModelIndex current = view->currentIndex();
        info->index = current.isValid() ? current.row() : -1;
        info->count = view->model() ? view->model()->rowCount(view->rootIndex()) : 0;
    }
}

}  // namespace

QWidget* TopModalWindow() { return QApplication::activeModalWidget(); }

QList<QWidget*> OpenWindows(QWidget* mainWindow) {
    QList<QWidget*> windows;
    if (mainWindow != nullptr) windows.append(mainWindow);
    QWidget* top = TopModalWindow();
    const QList<QWidget*> topLevels = QApplication::topLevelWidgets();
    for (QWidget* window : topLevels) {
        if (window == mainWindow || window == top) continue;
        if (window->isVisible() && window->isModal()) windows.append(window);
    }
    if (top != nullptr && top != mainWindow) windows.append(top);
    // A pop-up window of the skin (the background frame) sits above everything while open.
    if (QWidget* popup = QApplication::activePopupWidget();
        popup != nullptr && !windows.contains(popup) && IsListedName(popup->objectName())) {
        windows.append(popup);
    }
    return windows;
}

bool IsListedName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

QList<QWidget*> NamedControls(QWidget* window) {
    QList<QWidget*> controls;
    if (window == nullptr) return controls;
    if (IsListedName(window->objectName())) controls.append(window);
    const QList<QWidget*> below = window->findChildren<QWidget*>();
    for (QWidget* widget : below) {
        if (widget->window() == window && IsListedName(widget->objectName())) {
            controls.append(widget);
        }
    }
    return controls;
}

QString ListedName(QWidget* control) {
    const QString name = control->objectName();
    const QList<QWidget*> controls = NamedControls(control->window());
    int index = -1;
    int count = 0;
    for (QWidget* other : controls) {
        if (other->objectName() != name) continue;
        if (other == control) index = count;
        ++count;
    }
    return count > 1 ? QStringLiteral("%1#%2").arg(name).arg(index) : name;
}

QWidget* FindNamedControl(QWidget* mainWindow, const QString& name, QString* error) {
    // "name#K" picks the K-th control of that name in its window, as `ui list` shows it.
    QString base = name;
    int wanted = -1;
    if (const qsizetype hash = name.lastIndexOf(QLatin1Char('#')); hash > 0) {
        bool ok = false;
        const int index = name.mid(hash + 1).toInt(&ok);
        if (ok && index >= 0) {
            base = name.left(hash);
            wanted = index;
        }
    }
    const auto quoted = [](const QString& text) { return QStringLiteral("\"%1\"").arg(text); };
    if (!IsListedName(base)) {
        *error = QStringLiteral("no control named %1 in the window or an open modal window")
                     .arg(quoted(name));
        return nullptr;
    }
    const QList<QWidget*> windows = OpenWindows(mainWindow);
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QList<QWidget*> matches;
        for (QWidget* control : NamedControls(*it)) {
            if (control->objectName() == base) matches.append(control);
        }
        if (matches.isEmpty()) continue;
        if (wanted >= 0) {
            if (wanted < matches.size()) return matches.at(wanted);
            *error = QStringLiteral("%1 has no control %2: there are %3 named %4")
                         .arg(quoted((*it)->objectName()), quoted(name))
                         .arg(matches.size())
                         .arg(quoted(base));
            return nullptr;
        }
        if (matches.size() == 1) return matches.first();
        // Repeated controls (one per list entry): the one a person can see is meant.
        QList<QWidget*> shown;
        for (QWidget* control : matches) {
            if (control->isVisible()) shown.append(control);
        }
        if (shown.size() == 1) return shown.first();
        *error = QStringLiteral(
                     "%1 controls are named %2 and %3 of them shown: name one as "
                     "%2#0 to %2#%4, as `ui list` does")
                     .arg(matches.size())
                     .arg(quoted(base))
                     .arg(shown.size())
                     .arg(matches.size() - 1);
        return nullptr;
    }
    *error = QStringLiteral("no control named %1 in the window or an open modal window")
                 .arg(quoted(name));
    return nullptr;
}

ControlInfo Describe(QWidget* control) {
    ControlInfo info;
    QWidget* window = control->window();
    info.window = Std(window->objectName());
    info.name = Std(ListedName(control));
    info.visible = control->isVisible();
    info.enabled = control->isEnabled();
    const QPoint origin = control == window ? QPoint() : control->mapTo(window, QPoint());
    info.x = origin.x();
    info.y = origin.y();
    info.width = control->width();
    info.height = control->height();
    if (!DescribeToolkitControl(control, &info)) DescribeQtWidget(control, &info);
    return info;
}

}  // namespace rerov::remote_ui
