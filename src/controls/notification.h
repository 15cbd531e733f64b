#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

namespace rerov::ui {

// Notification types the windows and pages route on.
namespace notify_type {
inline const QString kClick = QStringLiteral("click");
inline const QString kSelectChanged = QStringLiteral("selectchanged");
inline const QString kItemSelect = QStringLiteral("itemselect");
inline const QString kValueChanged = QStringLiteral("valuechanged");
inline const QString kMoveValueChanged = QStringLiteral("movevaluechanged");
inline const QString kKillFocus = QStringLiteral("killfocus");
inline const QString kSetFocus = QStringLiteral("setfocus");
inline const QString kTextChanged = QStringLiteral("textchanged");
inline const QString kItemClick = QStringLiteral("itemclick");
inline const QString kItemActivate = QStringLiteral("itemactivate");
inline const QString kReturn = QStringLiteral("return");
inline const QString kMenu = QStringLiteral("menu");
inline const QString kTimer = QStringLiteral("timer");
inline const QString kWindowInit = QStringLiteral("windowinit");
inline const QString kWindowSize = QStringLiteral("windowsize");
inline const QString kMouseEnter = QStringLiteral("msenter");
inline const QString kMouseLeave = QStringLiteral("msleave");
inline const QString kDoubleClick = QStringLiteral("dbclick");
inline const QString kClickSelectEnd = QStringLiteral("click_select_end");
inline const QString kColorChanged = QStringLiteral("colorchanged");
}  // namespace notify_type

/// One notification: its type, the control that sent it and two integer parameters.
struct Notification {
    QString type;
    QPointer<QWidget> sender;
    qint64 wParam = 0;
    qint64 lParam = 0;

    /// The sender's object name, or an empty string when the sender is gone.
    QString SenderName() const { return sender ? sender->objectName() : QString(); }
};

/// True when control name `name` is `control`: layouts' names are compared without regard to
/// case.
inline bool IsControlName(const QString& name, const char* control) {
    return name.compare(QLatin1String(control), Qt::CaseInsensitive) == 0;
}

/// Receiver of notifications; windows and pages implement it.
class INotifyUI {
  public:
    virtual ~INotifyUI() = default;
    /// Handles one notification on the UI thread.
    virtual void Notify(const Notification& msg) = 0;
};

/// Sends a notification from `sender` to the bridge of its window (the nearest ancestor that has
/// one). Dropped when there is no bridge or the sender is silenced. Returns true when delivered.
bool SendNotify(QWidget* sender, const QString& type, qint64 wParam = 0, qint64 lParam = 0);

}  // namespace rerov::ui
