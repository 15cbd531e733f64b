#include "shell/dialogs/about_wnd.h"

#include <QEvent>
#include <QPointer>

#include "controls/content_scale.h"
#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "shell/dialogs/msg_wnd.h"

#ifndef REROV_PROGRAM_VERSION
#error "the build passes the program's version as REROV_PROGRAM_VERSION"
#endif

namespace rerov::shell {
namespace {

constexpr const char* kVersionLabel = "software_ver_label";
constexpr const char* kVersionTextKey = "software_rev_text";

}  // namespace

QString ProgramVersion() { return QStringLiteral(REROV_PROGRAM_VERSION); }

CAboutWnd::CAboutWnd(QWidget* owner) : ui::CWindowBase(owner) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void CAboutWnd::InitWindow() {
    ShowVersion();
    ShowMaximisedState();
}

void CAboutWnd::ShowVersion() {
    auto* label = qobject_cast<ui::CControlUI*>(FindControl(QLatin1String(kVersionLabel)));
    if (label == nullptr) return;
    // Composed here: the layout's key no longer names the label's text.
    ui::LanguageTexts::UnbindText(label, "text");
    label->SetText(ui::Tr(QLatin1String(kVersionTextKey)) + ProgramVersion());
}

void CAboutWnd::SetDpi(int dpi) {
    const qreal scale = static_cast<qreal>(CMsgWnd::SupportedDpi(dpi)) / kDesignDpi;
    setFixedSize(ui::ScaleLength(kDesignWidth, scale), ui::ScaleLength(kDesignHeight, scale));
    SetContentScale(scale);
}

void CAboutWnd::Notify(const ui::Notification& msg) {
    if (msg.type == ui::notify_type::kClick) {
        const QString name = msg.SenderName();
        if (ui::IsControlName(name, "closebtn")) {
            Close(0);
            return;
        }
        if (HandleCaptionButton(name)) return;
        // "menubtn" and "homepage_btn" have nothing to open.
    }
    ui::CWindowBase::Notify(msg);
}

void CAboutWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) ShowMaximisedState();
    if (event->type() == QEvent::LanguageChange) ShowVersion();
    ui::CWindowBase::changeEvent(event);
}

void ShowAboutWindow(QWidget* owner, int dpi, const std::function<void(QWidget*)>& opened) {
    QPointer<CAboutWnd> about = new CAboutWnd(owner);
    if (!about->Create(QStringLiteral("  "),
                       QSize(CAboutWnd::kDesignWidth, CAboutWnd::kDesignHeight))) {
        delete about;
        return;
    }
    about->SetDpi(dpi);
    about->CenterWindow();
    if (opened) opened(about);
    about->ShowModal();
    delete about;  // null when the owner took it along
}

}  // namespace rerov::shell
