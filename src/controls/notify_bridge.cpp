#include "controls/notify_bridge.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QChildEvent>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <memory>
#include <vector>

namespace rerov::ui {
namespace {

constexpr char kBridgeProperty[] = "_rerov_notify_bridge";
constexpr char kConnectedProperty[] = "_rerov_notify_connected";
constexpr char kWatchedProperty[] = "_rerov_notify_watched";
constexpr char kSilenceProperty[] = "_rerov_notify_silence";
constexpr char kLastIndexProperty[] = "_rerov_last_index";

bool IsNamed(const QWidget* widget) {
    const QString name = widget->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

// Exclusive options report only the one that became selected, as a group selection does.
bool IsExclusive(const QAbstractButton* button) {
    if (button->autoExclusive()) return true;
    const QButtonGroup* group = button->group();
    return group != nullptr && group->exclusive();
}

}  // namespace

bool SendNotify(QWidget* sender, const QString& type, qint64 wParam, qint64 lParam) {
    if (sender == nullptr) return false;
    NotifyBridge* bridge = NotifyBridge::Find(sender);
    if (bridge == nullptr || NotifySilence::IsSilenced(sender)) return false;
    bridge->Dispatch(Notification{type, sender, wParam, lParam});
    return true;
}

NotifyBridge::NotifyBridge(QWidget* window) : QObject(window), window_(window) {
    window_->setProperty(kBridgeProperty, QVariant::fromValue<QObject*>(this));
    window_->installEventFilter(this);
}

NotifyBridge::~NotifyBridge() {
    if (window_ != nullptr && window_->property(kBridgeProperty).value<QObject*>() == this) {
        window_->setProperty(kBridgeProperty, QVariant());
    }
}

NotifyBridge* NotifyBridge::Find(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant v = w->property(kBridgeProperty);
        if (v.isValid()) {
            if (auto* bridge = qobject_cast<NotifyBridge*>(v.value<QObject*>())) return bridge;
        }
    }
    return nullptr;
}

void NotifyBridge::AddNotifier(INotifyUI* notifier) {
    if (notifier != nullptr && !notifiers_.contains(notifier)) notifiers_.append(notifier);
}

void NotifyBridge::RemoveNotifier(INotifyUI* notifier) { notifiers_.removeAll(notifier); }

void NotifyBridge::Dispatch(const Notification& msg) {
    if (msg.sender && NotifySilence::IsSilenced(msg.sender)) return;
    const QVector<INotifyUI*> receivers = notifiers_;
    for (INotifyUI* receiver : receivers) {
        // A receiver removed by an earlier one in this round is not called any more.
        if (notifiers_.contains(receiver)) receiver->Notify(msg);
    }
}

void NotifyBridge::Attach(QWidget* root) {
    if (root == nullptr) return;
    Connect(root);
    const auto children = root->findChildren<QWidget*>();
    for (QWidget* child : children) Connect(child);
}

void NotifyBridge::Connect(QWidget* widget) {
    // Every widget is watched, so that children added later are connected when they are
    // first polished (before they are shown).
    if (!widget->property(kWatchedProperty).toBool()) {
        widget->setProperty(kWatchedProperty, true);
        widget->installEventFilter(this);
    }
    if (!IsNamed(widget) || widget->property(kConnectedProperty).toBool()) return;
    widget->setProperty(kConnectedProperty, true);

    // Custom controls notify through SendNotify themselves; only Qt's own widgets are mapped.
    if (widget->inherits("rerov::ui::CControlUI")) return;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        ConnectButton(button);
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(widget)) {
        ConnectSlider(slider);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        ConnectCombo(combo);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        connect(edit, &QLineEdit::textEdited, this,
                [edit] { SendNotify(edit, notify_type::kTextChanged); });
        connect(edit, &QLineEdit::returnPressed, this,
                [edit] { SendNotify(edit, notify_type::kReturn); });
    } else if (auto* text = qobject_cast<QTextEdit*>(widget)) {
        connect(text, &QTextEdit::textChanged, this,
                [text] { SendNotify(text, notify_type::kTextChanged); });
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
        connect(plain, &QPlainTextEdit::textChanged, this,
                [plain] { SendNotify(plain, notify_type::kTextChanged); });
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(widget)) {
        connect(spin, &QAbstractSpinBox::editingFinished, this,
                [spin] { SendNotify(spin, notify_type::kValueChanged); });
    } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
        connect(list, &QListWidget::currentRowChanged, this,
                [list](int row) { SendNotify(list, notify_type::kItemSelect, row); });
        connect(list, &QListWidget::itemClicked, this, [list](QListWidgetItem* item) {
            SendNotify(list, notify_type::kItemClick, list->row(item));
        });
        connect(list, &QListWidget::itemActivated, this, [list](QListWidgetItem* item) {
            SendNotify(list, notify_type::kItemActivate, list->row(item));
        });
    }
}

void NotifyBridge::ConnectButton(QAbstractButton* button) {
    connect(button, &QAbstractButton::clicked, this,
            [button] { SendNotify(button, notify_type::kClick); });
    connect(button, &QAbstractButton::toggled, this, [button](bool checked) {
        if (checked || !IsExclusive(button)) {
            SendNotify(button, notify_type::kSelectChanged, checked ? 1 : 0);
        }
    });
}

void NotifyBridge::ConnectSlider(QAbstractSlider* slider) {
    // A drag reports "movevaluechanged" while it moves and one "valuechanged" when it ends.
    connect(slider, &QAbstractSlider::sliderMoved, this,
            [slider](int value) { SendNotify(slider, notify_type::kMoveValueChanged, value); });
    connect(slider, &QAbstractSlider::sliderReleased, this,
            [slider] { SendNotify(slider, notify_type::kValueChanged, slider->value()); });
    connect(slider, &QAbstractSlider::valueChanged, this, [slider](int value) {
        if (!slider->isSliderDown()) SendNotify(slider, notify_type::kValueChanged, value);
    });
}

void NotifyBridge::ConnectCombo(QComboBox* combo) {
    combo->setProperty(kLastIndexProperty, combo->currentIndex());
    connect(combo, &QComboBox::currentIndexChanged, this, [combo](int index) {
        const int previous = combo->property(kLastIndexProperty).toInt();
        combo->setProperty(kLastIndexProperty, index);
        SendNotify(combo, notify_type::kItemSelect, index, previous);
    });
}

bool NotifyBridge::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) return false;
    switch (event->type()) {
        case QEvent::FocusIn:
            if (IsNamed(widget)) SendNotify(widget, notify_type::kSetFocus);
            break;
        case QEvent::FocusOut:
            if (IsNamed(widget)) SendNotify(widget, notify_type::kKillFocus);
            break;
        case QEvent::ChildPolished:
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
                Attach(child);
            }
            break;
        case QEvent::Resize:
            if (widget == window_ || widget->objectName() == QLatin1String("root")) {
                SendNotify(widget, notify_type::kWindowSize, widget->width(), widget->height());
            }
            break;
        default:
            break;
    }
    return false;
}

NotifySilence::NotifySilence(QWidget* control) : control_(control) {
    if (control_)
        control_->setProperty(kSilenceProperty, control_->property(kSilenceProperty).toInt() + 1);
}

NotifySilence::~NotifySilence() {
    if (control_)
        control_->setProperty(kSilenceProperty, control_->property(kSilenceProperty).toInt() - 1);
}

bool NotifySilence::IsSilenced(const QWidget* control) {
    return control != nullptr && control->property(kSilenceProperty).toInt() > 0;
}

void SelectItemSilently(QComboBox* combo, int index) {
    NotifySilence silence(combo);
    combo->setCurrentIndex(index);
    // Keep the "previous index" of the next user selection right.
    combo->setProperty(kLastIndexProperty, combo->currentIndex());
}

void SetCheckedSilently(QAbstractButton* button, bool checked) {
    // An exclusive group unchecks the others: silence the whole group for this change.
    QVector<QAbstractButton*> affected{button};
    if (QButtonGroup* group = button->group()) {
        for (QAbstractButton* b : group->buttons()) affected.append(b);
    } else if (button->autoExclusive() && button->parentWidget() != nullptr) {
        for (QAbstractButton* b : button->parentWidget()->findChildren<QAbstractButton*>(
                 QString(), Qt::FindDirectChildrenOnly)) {
            affected.append(b);
        }
    }
    std::vector<std::unique_ptr<NotifySilence>> silences;
    for (QAbstractButton* b : affected) silences.push_back(std::make_unique<NotifySilence>(b));
    button->setChecked(checked);
}

void SetValueSilently(QAbstractSlider* slider, int value) {
    NotifySilence silence(slider);
    slider->setValue(value);
}

}  // namespace rerov::ui
