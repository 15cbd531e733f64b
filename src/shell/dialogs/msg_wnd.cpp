#include "shell/dialogs/msg_wnd.h"

#include <QLabel>
#include <QLoggingCategory>
#include <QPointer>

#include "controls/content_scale.h"
#include "controls/control_base.h"
#include "controls/language_texts.h"

namespace rerov::shell {

Q_LOGGING_CATEGORY(lcMsgWnd, "rerov.msgwnd", QtWarningMsg)

namespace {

// The values a window can be drawn at; anything else is a caller's mistake.
constexpr int kSupportedDpis[] = {48, 72, 96, 120, 144, 168, 192};

constexpr const char* kTitleName = "MessageTitle";
constexpr const char* kTextName = "MessageText";
constexpr const char* kConfirmName = "confirm_btn";
constexpr const char* kCancelName = "cancel_btn";
constexpr const char* kCloseName = "closebtn";

// Keys of the download report.
constexpr const char* kDownloadFailedKey = "message_text_7";
constexpr const char* kDownloadResultKey = "message_text_16";
constexpr int kDownloadNotWritten = -1;

// Sets the text of a label of the layout: a toolkit label or a Qt one.
void SetLabelText(QWidget* label, const QString& text) {
    if (auto* control = qobject_cast<ui::CControlUI*>(label)) {
        control->SetText(text);
    } else if (auto* qtLabel = qobject_cast<QLabel*>(label)) {
        qtLabel->setText(text);
    }
}

}  // namespace

CMsgWnd::CMsgWnd(QWidget* owner) : ui::CWindowBase(owner) {
    // A dialog of its owner: no task bar button of its own.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void CMsgWnd::InitWindow() { closeButton_ = FindControl(QLatin1String(kCloseName)); }

void CMsgWnd::Notify(const ui::Notification& msg) {
    if (msg.type == ui::notify_type::kClick) {
        const QString name = msg.SenderName();
        if (name.compare(QLatin1String(kConfirmName), Qt::CaseInsensitive) == 0) {
            Close(kMsgConfirmed);
            return;
        }
        if (name.compare(QLatin1String(kCancelName), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(kCloseName), Qt::CaseInsensitive) == 0) {
            Close(kMsgDeclined);
            return;
        }
    }
    ui::CWindowBase::Notify(msg);
}

void CMsgWnd::SetTitle(const QString& title) {
    if (title.isEmpty()) return;
    SetLabelText(FindControl(QLatin1String(kTitleName)), title);
}

void CMsgWnd::SetMessage(const QString& text, MsgText kind) {
    if (text.isEmpty()) return;
    QWidget* label = FindControl(QLatin1String(kTextName));
    if (label == nullptr) return;
    if (kind == MsgText::LanguageKey) {
        // Bound, so a language change while the box is open shows the new text too.
        ui::LanguageTexts::BindText(label, "text", text);
    } else {
        ui::LanguageTexts::UnbindText(label, "text");
        SetLabelText(label, text);
    }
}

void CMsgWnd::SetButtons(MsgButtons buttons) {
    if (QWidget* cancel = FindControl(QLatin1String(kCancelName))) {
        cancel->setVisible(buttons == MsgButtons::ConfirmCancel);
    }
    if (QWidget* confirm = FindControl(QLatin1String(kConfirmName))) confirm->setVisible(true);
}

int CMsgWnd::SupportedDpi(int dpi) {
    for (int supported : kSupportedDpis) {
        if (dpi == supported) return dpi;
    }
    qCWarning(lcMsgWnd, "MSG_WND DPI SET ERROR");
    return kDesignDpi;
}

void CMsgWnd::SetDpi(int dpi) {
    const int value = SupportedDpi(dpi);
    if (value == dpi_) return;
    dpi_ = value;
    const qreal scale = static_cast<qreal>(dpi_) / kDesignDpi;
    setFixedSize(ui::ScaleLength(kDesignWidth, scale), ui::ScaleLength(kDesignHeight, scale));
    SetContentScale(scale);
}

int ShowMessageBox(QWidget* owner, const QString& title, const QString& text, int dpi,
                   MsgText textKind, MsgButtons buttons) {
    // The owner may go while the modal loop runs (the program ends): the box goes with it.
    QPointer<CMsgWnd> box = new CMsgWnd(owner);
    if (!box->Create(QStringLiteral("msgwnd"),
                     QSize(CMsgWnd::kDesignWidth, CMsgWnd::kDesignHeight))) {
        delete box;
        return kMsgDeclined;
    }
    box->SetTitle(title);
    box->SetMessage(text, textKind);
    box->SetDpi(dpi);
    box->SetButtons(buttons);
    box->CenterWindow();
    const int result = box->ShowModal();
    delete box;  // null when the owner took it along
    return result == kMsgConfirmed ? kMsgConfirmed : kMsgDeclined;
}

bool ConfirmMessage(QWidget* owner, const QString& key, int dpi) {
    return ShowMessageBox(owner, QString(), key, dpi, MsgText::LanguageKey,
                          MsgButtons::ConfirmCancel) == kMsgConfirmed;
}

void ShowMessage(QWidget* owner, const QString& key, int dpi) {
    ShowMessageBox(owner, QString(), key, dpi, MsgText::LanguageKey, MsgButtons::ConfirmOnly);
}

void ShowDownloadReport(QWidget* owner, int result, int dpi) {
    if (result == 0) return;
    if (result == kDownloadNotWritten) {
        ShowMessage(owner, QLatin1String(kDownloadFailedKey), dpi);
        return;
    }
    // The language text is a format with one number; only "%d" is replaced, so a text that
    // holds other '%' signs cannot go wrong.
    QString text = ui::Tr(QLatin1String(kDownloadResultKey));
    if (text.contains(QLatin1String("%d"))) {
        text.replace(text.indexOf(QLatin1String("%d")), 2, QString::number(result));
    } else {
        text += QLatin1Char(' ') + QString::number(result);
    }
    ShowMessageBox(owner, QString(), text, dpi, MsgText::Literal, MsgButtons::ConfirmOnly);
}

}  // namespace rerov::shell
