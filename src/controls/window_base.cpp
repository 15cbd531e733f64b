#include "controls/window_base.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "controls/content_scale.h"
#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/notify_bridge.h"

namespace rerov::ui {

CWindowBase::CWindowBase(QWidget* owner) : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
    bridge_ = new NotifyBridge(this);
    bridge_->AddNotifier(this);
}

CWindowBase::~CWindowBase() {
    // Children still report (focus, size) while QWidget tears them down; this object is no
    // longer a CWindowBase by then.
    bridge_->RemoveNotifier(this);
    if (loop_ != nullptr) loop_->exit(result_);
}

QWidget* CWindowBase::CreateControl(const QString&) { return nullptr; }

bool CWindowBase::HandleCaptionButton(const QString& name) {
    if (IsControlName(name, "minbtn")) {
        showMinimized();
    } else if (IsControlName(name, "maxbtn")) {
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);  // a design size may be fixed
        showMaximized();
    } else if (IsControlName(name, "restorebtn")) {
        showNormal();
    } else {
        return false;
    }
    return true;
}

void CWindowBase::ShowMaximisedState() {
    const bool maximised = isMaximized();
    if (QWidget* max = FindControl(QStringLiteral("maxbtn"))) max->setVisible(!maximised);
    if (QWidget* restore = FindControl(QStringLiteral("restorebtn"))) {
        restore->setVisible(maximised);
    }
}

void CWindowBase::Notify(const Notification& msg) { pump_.LoopDispatch(msg); }

bool CWindowBase::Create(const QString& title, const QSize& size) {
    setObjectName(GetWindowClassName());
    setWindowTitle(title);
    setFixedSize(size);
    LayoutBuilder builder;
    root_ = builder.Create(GetSkinFile(), this, this);
    if (root_ == nullptr) {
        qWarning("layout %s: %s", qPrintable(GetSkinFile()), qPrintable(builder.ErrorString()));
        return false;
    }
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    box->addWidget(root_);
    const QVariant caption = root_->property("caption");
    if (caption.isValid()) captionHeight_ = caption.toInt();
    bridge_->Attach(this);
    InitWindow();
    return true;
}

void CWindowBase::SetContentScale(qreal scale) {
    if (!(scale > 0)) return;
    contentScale_ = scale;
    if (root_ != nullptr) ScaleWidgetTree(root_, scale);
}

void CWindowBase::CenterWindow() {
    QRect area;
    if (QWidget* owner = parentWidget(); owner != nullptr && owner->isVisible()) {
        area = owner->window()->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isEmpty()) return;
    move(area.center() - QPoint(width() / 2, height() / 2));
}

int CWindowBase::ShowModal() {
    if (loop_ != nullptr) return -1;  // already running
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    loop_ = &loop;
    result_ = 0;
    // The window may be destroyed inside its loop (its owner goes): then only the result
    // is left to give.
    const QPointer<CWindowBase> self(this);
    const int result = loop.exec();
    if (self.isNull()) return result;
    loop_ = nullptr;
    setWindowModality(Qt::NonModal);
    return result;
}

void CWindowBase::Close(int result) {
    result_ = result;
    hide();
    if (loop_ != nullptr) loop_->exit(result);
}

bool CWindowBase::SaveScreenshot(const QString& path) { return grab().save(path); }

QWidget* CWindowBase::FindControl(const QString& name) const {
    return FindSubControlByName(this, name);
}

void CWindowBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!initSent_) {
        initSent_ = true;
        SendNotify(this, notify_type::kWindowInit);
    }
}

void CWindowBase::closeEvent(QCloseEvent* event) {
    if (loop_ != nullptr) loop_->exit(result_);
    QWidget::closeEvent(event);
}

void CWindowBase::mousePressEvent(QMouseEvent* event) {
    // Presses that no control took land here: the caption strip moves the window.
    if (event->button() == Qt::LeftButton &&
        event->position().y() < ScaleLength(captionHeight_, contentScale_)) {
        if (QWindow* handle = windowHandle()) handle->startSystemMove();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace rerov::ui
