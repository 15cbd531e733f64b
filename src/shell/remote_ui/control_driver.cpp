#include "shell/remote_ui/control_driver.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>

#include "controls/control_base.h"
#include "controls/list_base.h"
#include "controls/option_ui.h"
#include "shell/remote_ui/control_inventory.h"
#include "shell/remote_ui/input_events.h"

namespace rerov::remote_ui {

namespace {

QString Quoted(const QString& text) { return u'"' + text + u'"'; }

QString ClassOf(QWidget* control) { return QString::fromStdString(Describe(control).className); }

QString OutOfRange(QWidget* control, int index, int count) {
    if (count == 0) return QStringLiteral("%1 has no items").arg(Quoted(control->objectName()));
    return QStringLiteral("index %1 is out of range: %2 has %3 items (0..%4)")
        .arg(index)
        .arg(Quoted(control->objectName()))
        .arg(count)
        .arg(count - 1);
}

// Why a person could not use `widget` now (hidden or disabled); empty when they could.
QString Unusable(QWidget* widget, const QString& what) {
    if (!widget->isVisible()) return what + QStringLiteral(" is hidden");
    if (!widget->isEnabled()) return what + QStringLiteral(" is disabled");
    return {};
}

// ---- select -----------------------------------------------------------------------------

// The point of a combo box that opens its list: the arrow of an editable one, else anywhere.
QPoint ComboOpenPoint(QComboBox* combo) {
    if (!combo->isEditable()) return combo->rect().center();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    const QRect arrow = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                       QStyle::SC_ComboBoxArrow, combo);
    return arrow.isValid() ? arrow.center() : QPoint(combo->width() - 4, combo->height() / 2);
}

// Opens the list with a click, moves to the item with the arrow keys and takes it with
// Return, as a person can. (A click on the item is no good here: the list ignores a
// release that follows its opening too quickly, which a person never notices.)
DeliverEvents SelectComboItem(QComboBox* target, int index, QString* error) {
    if (index < 0 || index >= target->count()) {
        *error = OutOfRange(target, index, target->count());
        return {};
    }
    const QModelIndex item =
        target->model()->index(index, target->modelColumn(), target->rootModelIndex());
    const QString what =
        QStringLiteral("item %1 of %2").arg(index).arg(Quoted(target->objectName()));
    if (!(target->model()->flags(item) & Qt::ItemIsEnabled)) {
        *error = what + QStringLiteral(" is disabled");
        return {};
    }
    return [combo = QPointer<QComboBox>(target), index, what]() -> QString {
        if (!combo) return {};
        ClickAt(combo, ComboOpenPoint(combo));
        if (!combo) return {};
        QPointer<QAbstractItemView> view = combo->view();
        if (!view || !view->isVisible()) {
            return QStringLiteral("the list of %1 did not open").arg(Quoted(combo->objectName()));
        }
        PressKey(view, Qt::Key_Home);
        for (int presses = 0; view && view->currentIndex().row() < index && presses < index;
             ++presses) {
            PressKey(view, Qt::Key_Down);
        }
        if (!view || !combo) return {};
        if (view->currentIndex().row() != index) {
            PressKey(view, Qt::Key_Escape);
            return what + QStringLiteral(" cannot be reached with the arrow keys");
        }
        PressKey(view, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        if (!combo) return {};
        if (combo->currentIndex() != index) return what + QStringLiteral(" was not taken");
        return {};
    };
}

// Clicks a row of a toolkit list.
DeliverEvents SelectListRow(ui::CListUI* list, int index, QString* error) {
    const QList<ui::CListContainerElementUI*> rows = list->Elements();
    if (index < 0 || index >= rows.size()) {
        *error = OutOfRange(list, index, static_cast<int>(rows.size()));
        return {};
    }
    ui::CListContainerElementUI* row = rows[index];
    *error =
        Unusable(row, QStringLiteral("item %1 of %2").arg(index).arg(Quoted(list->objectName())));
    if (!error->isEmpty()) return {};
    return [row = QPointer<ui::CListContainerElementUI>(row), index,
            name = list->objectName()]() -> QString {
        if (!row) return {};
        ClickCentre(row);
        if (row && !row->IsSelected()) {
            return QStringLiteral("item %1 of %2 did not become selected")
                .arg(index)
                .arg(Quoted(name));
        }
        return {};
    };
}

// Clicks a row of an item view (list widget, list view).
DeliverEvents SelectViewRow(QAbstractItemView* target, int index, QString* error) {
    QAbstractItemModel* model = target->model();
    const int count = model ? model->rowCount(target->rootIndex()) : 0;
    if (index < 0 || index >= count) {
        *error = OutOfRange(target, index, count);
        return {};
    }
    const QModelIndex item = model->index(index, 0, target->rootIndex());
    const auto* listView = qobject_cast<QListView*>(target);
    const QString what =
        QStringLiteral("item %1 of %2").arg(index).arg(Quoted(target->objectName()));
    if (listView != nullptr && listView->isRowHidden(index)) {
        *error = what + QStringLiteral(" is hidden");
        return {};
    }
    if (!(model->flags(item) & Qt::ItemIsEnabled)) {
        *error = what + QStringLiteral(" is disabled");
        return {};
    }
    return [view = QPointer<QAbstractItemView>(target), index, what]() -> QString {
        if (!view) return {};
        const QModelIndex row = view->model()->index(index, 0, view->rootIndex());
        view->scrollTo(row);
        ClickAt(view->viewport(), view->visualRect(row).center());
        if (view && view->currentIndex().row() != index) {
            return what + QStringLiteral(" did not become current");
        }
        return {};
    };
}

bool IsOption(QWidget* widget) {
    if (qobject_cast<ui::COptionUI*>(widget) != nullptr) return true;
    auto* button = qobject_cast<QAbstractButton*>(widget);
    return button != nullptr && button->isCheckable();
}

bool IsSelectedOption(QWidget* widget) {
    if (auto* option = qobject_cast<ui::COptionUI*>(widget)) return option->IsSelected();
    auto* button = qobject_cast<QAbstractButton*>(widget);
    return button != nullptr && button->isChecked();
}

// Clicks option `index` of those below `group` (in tree order), unless it is selected.
DeliverEvents SelectOption(QWidget* group, int index, QString* error) {
    QList<QWidget*> options;
    const QList<QWidget*> below = group->findChildren<QWidget*>();
    for (QWidget* widget : below) {
        if (widget->window() == group->window() && IsOption(widget)) options.append(widget);
    }
    if (options.isEmpty()) {
        *error = QStringLiteral("%1 (%2) has no items to select")
                     .arg(Quoted(group->objectName()), ClassOf(group));
        return {};
    }
    if (index < 0 || index >= options.size()) {
        *error = OutOfRange(group, index, static_cast<int>(options.size()));
        return {};
    }
    QWidget* option = options[index];
    const QString what =
        QStringLiteral("item %1 of %2").arg(index).arg(Quoted(group->objectName()));
    *error = Unusable(option, what);
    if (!error->isEmpty()) return {};
    return [option = QPointer<QWidget>(option), what]() -> QString {
        // A second click would turn a lone option off again.
        if (!option || IsSelectedOption(option)) return {};
        ClickCentre(option);
        if (option && !IsSelectedOption(option))
            return what + QStringLiteral(" did not become selected");
        return {};
    };
}

DeliverEvents PlanSelect(QWidget* control, int index, QString* error) {
    if (auto* combo = qobject_cast<QComboBox*>(control))
        return SelectComboItem(combo, index, error);
    if (auto* list = qobject_cast<ui::CListUI*>(control)) return SelectListRow(list, index, error);
    if (auto* view = qobject_cast<QAbstractItemView*>(control))
        return SelectViewRow(view, index, error);
    return SelectOption(control, index, error);
}

// ---- text -------------------------------------------------------------------------------

// What an edit shows of the typed text: its text, or a spin box's number without the
// prefix and suffix.
QString Shown(QWidget* edit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) return line->text();
    if (auto* spin = qobject_cast<QSpinBox*>(edit)) return spin->cleanText();
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(edit)) return spin->cleanText();
    return {};
}

bool ChecksShownText(QWidget* edit) {
    return qobject_cast<QLineEdit*>(edit) || qobject_cast<QSpinBox*>(edit) ||
           qobject_cast<QDoubleSpinBox*>(edit);
}

DeliverEvents PlanText(QWidget* control, const QString& text, QString* error) {
    QWidget* edit = control;
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        edit = combo->lineEdit();
    }
    auto* line = qobject_cast<QLineEdit*>(edit);
    auto* spin = qobject_cast<QAbstractSpinBox*>(edit);
    if (line == nullptr && spin == nullptr) {
        *error = QStringLiteral("%1 (%2) is not a one-line edit")
                     .arg(Quoted(control->objectName()), ClassOf(control));
        return {};
    }
    if ((line && line->isReadOnly()) || (spin && spin->isReadOnly())) {
        *error = QStringLiteral("%1 is read-only").arg(Quoted(control->objectName()));
        return {};
    }
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control) {
            *error = QStringLiteral(
                "the text holds a control character; only printable text can be typed");
            return {};
        }
    }
    return [edit = QPointer<QWidget>(edit), text, name = control->objectName()]() -> QString {
        if (!edit) return {};
        // Into the edit, everything in it selected, then the new text over it.
        ClickCentre(edit);
        if (!edit) return {};
        PressKey(edit, Qt::Key_A, Qt::ControlModifier);
        if (!edit) return {};
        if (text.isEmpty()) {
            PressKey(edit, Qt::Key_Backspace);
        } else {
            TypeText(edit, text);
        }
        if (!edit) return {};
        if (ChecksShownText(edit) && Shown(edit) != text) {
            return QStringLiteral("%1 did not take %2: it shows %3")
                .arg(Quoted(name), Quoted(text), Quoted(Shown(edit)));
        }
        PressKey(edit, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        return {};
    };
}

// ---- value ------------------------------------------------------------------------------

// The keys that move a slider towards `target`: Home and End for the ends, Page Up/Down
// while a page fits, then single steps. Its controls may be inverted.
struct SliderKeys {
    int up, down, pageUp, pageDown;
};

SliderKeys KeysOf(const QAbstractSlider* slider) {
    if (slider->invertedControls()) {
        return {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp};
    }
    return {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown};
}

// Where the keys start from: the current value when the target is whole single steps away,
// else the minimum or the maximum (Home, End) when it is from there. False when no key
// reaches the target.
bool StartForSteps(const QAbstractSlider* slider, int target, int* startKey) {
    const long long step = std::max(1, slider->singleStep());
    const auto reachableFrom = [&](int from) {
        return (static_cast<long long>(target) - from) % step == 0;
    };
    *startKey = 0;
    if (target == slider->minimum()) {
        *startKey = Qt::Key_Home;
    } else if (target == slider->maximum()) {
        *startKey = Qt::Key_End;
    } else if (reachableFrom(slider->value())) {
        *startKey = 0;
    } else if (reachableFrom(slider->minimum())) {
        *startKey = Qt::Key_Home;
    } else if (reachableFrom(slider->maximum())) {
        *startKey = Qt::Key_End;
    } else {
        return false;
    }
    return true;
}

QString MoveSlider(QAbstractSlider* slider, int target, int startKey) {
    const QString name = slider->objectName();
    QPointer<QAbstractSlider> guard = slider;
    if (slider->focusPolicy() & Qt::TabFocus) slider->setFocus(Qt::TabFocusReason);
    if (startKey != 0) PressKey(slider, startKey);
    const SliderKeys keys = KeysOf(slider);
    // Each key moves the value closer; more presses than the range has steps means the
    // slider does not follow its keys.
    const long long span = static_cast<long long>(slider->maximum()) - slider->minimum();
    long long pressesLeft = span / std::max(1, slider->singleStep()) + 2;
    while (guard && guard->value() != target && pressesLeft-- > 0) {
        const long long gap = static_cast<long long>(target) - guard->value();
        const long long distance = gap < 0 ? -gap : gap;
        const int page = guard->pageStep();
        const int single = std::max(1, guard->singleStep());
        const bool pageFits = page > 0 && page % single == 0 && distance >= page;
        const int key =
            pageFits ? (gap > 0 ? keys.pageUp : keys.pageDown) : (gap > 0 ? keys.up : keys.down);
        PressKey(guard, key);
    }
    if (guard && guard->value() != target) {
        return QStringLiteral("%1 stopped at %2").arg(Quoted(name)).arg(guard->value());
    }
    return {};
}

DeliverEvents PlanValue(QWidget* control, int target, QString* error) {
    auto* slider = qobject_cast<QAbstractSlider*>(control);
    if (slider == nullptr) {
        *error = QStringLiteral("%1 (%2) is not a slider")
                     .arg(Quoted(control->objectName()), ClassOf(control));
        return {};
    }
    if (target < slider->minimum() || target > slider->maximum()) {
        *error = QStringLiteral("%1 is out of range: %2 takes %3..%4")
                     .arg(target)
                     .arg(Quoted(slider->objectName()))
                     .arg(slider->minimum())
                     .arg(slider->maximum());
        return {};
    }
    int startKey = 0;
    if (!StartForSteps(slider, target, &startKey)) {
        *error = QStringLiteral("%1 is not a value %2 can take: it moves in steps of %3")
                     .arg(target)
                     .arg(Quoted(slider->objectName()))
                     .arg(slider->singleStep());
        return {};
    }
    return [slider = QPointer<QAbstractSlider>(slider), target, startKey]() -> QString {
        if (!slider) return {};
        return MoveSlider(slider, target, startKey);
    };
}

}  // namespace

DeliverEvents PlanAction(QWidget* mainWindow, const UiAction& action, QString* error) {
    const QString name = QString::fromStdString(action.control);
    QWidget* control = FindNamedControl(mainWindow, name, error);
    if (control == nullptr) return {};
    // Application-modal windows take every click and key away from the windows below them.
    if (QWidget* modal = TopModalWindow(); modal != nullptr && control->window() != modal) {
        *error = QStringLiteral("%1 is in %2, which the modal window %3 blocks")
                     .arg(Quoted(name), Quoted(control->window()->objectName()),
                          Quoted(modal->objectName()));
        return {};
    }
    *error = Unusable(control, Quoted(name));
    if (!error->isEmpty()) return {};
    switch (action.kind) {
        case UiAction::Kind::Click:
            return [target = QPointer<QWidget>(control)]() -> QString {
                if (target) ClickCentre(target);
                return {};
            };
        case UiAction::Kind::Select:
            return PlanSelect(control, action.number, error);
        case UiAction::Kind::Text:
            return PlanText(control, QString::fromStdString(action.text), error);
        case UiAction::Kind::Value:
            return PlanValue(control, action.number, error);
    }
    *error = QStringLiteral("unknown action");
    return {};
}

}  // namespace rerov::remote_ui
