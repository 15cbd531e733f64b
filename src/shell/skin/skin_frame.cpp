#include "shell/skin/skin_frame.h"

#include <QFileDialog>
#include <QPointer>

#include "controls/content_scale.h"
#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/option_ui.h"
#include "shell/skin/skin_ini.h"
#include "shell/skin/skin_observer.h"
#include "shell/skin/user_background.h"

namespace rerov::shell {
namespace {

constexpr int kDesignDpi = 96;
constexpr int kImagePage = 0;
constexpr int kColourPage = 1;

}  // namespace

QString ChooseBackgroundFile(QWidget* parent) {
    const QString filter = ui::Tr(QStringLiteral("skin_filter_png")) +
                           QStringLiteral(" (*.png);;") +
                           ui::Tr(QStringLiteral("skin_filter_all")) + QStringLiteral(" (*)");
    return QFileDialog::getOpenFileName(parent, ui::Tr(QStringLiteral("skin_custom_title")),
                                        QString(), filter, nullptr, QFileDialog::ReadOnly);
}

CSkinFrame::CSkinFrame(QWidget* owner, QWidget* skinButton, int dpi, SkinFrameServices services)
    : ui::CWindowBase(owner),
      owner_(owner),
      skinButton_(skinButton),
      dpi_(dpi > 0 ? dpi : kDesignDpi),
      services_(std::move(services)) {
    // A pop-up: no frame, not in the task bar, closed by Qt as soon as the user clicks
    // elsewhere or the program loses the focus.
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
}

bool CSkinFrame::Open() {
    if (!Create(QStringLiteral("skinframe"), QSize(kDesignWidth, kDesignHeight))) return false;
    const qreal scale = qreal(dpi_) / kDesignDpi;
    const QSize size(ui::ScaleLength(kDesignWidth, scale), ui::ScaleLength(kDesignHeight, scale));
    setFixedSize(size);
    SetContentScale(scale);
    if (skinButton_ != nullptr) move(PlaceUnder(skinButton_, size));
    SelectPage(kImagePage);
    show();
    return true;
}

QPoint CSkinFrame::PlaceUnder(const QWidget* button, const QSize& frameSize) {
    return button->mapToGlobal(QPoint(button->width() - frameSize.width(), button->height()));
}

void CSkinFrame::Notify(const ui::Notification& msg) {
    if (msg.type == ui::notify_type::kClick) {
        const QString name = msg.SenderName();
        if (ui::IsControlName(name, "skin_image_btn")) {
            if (auto* button = qobject_cast<ui::CControlUI*>(msg.sender)) {
                OnImage(button->GetUserData());
            }
            return;
        }
        if (ui::IsControlName(name, "skin_color_btn")) {
            if (auto* button = qobject_cast<ui::CControlUI*>(msg.sender)) {
                OnColour(button->GetBkColor());
            }
            return;
        }
        if (ui::IsControlName(name, "skin_color")) {
            SelectPage(kColourPage);
            return;
        }
        if (ui::IsControlName(name, "skin_image")) {
            SelectPage(kImagePage);
            return;
        }
        if (ui::IsControlName(name, "skin_reset")) {
            OnReset();
            return;
        }
        if (ui::IsControlName(name, "skin_Custom")) {
            OnCustom();
            return;
        }
    }
    ui::CWindowBase::Notify(msg);
}

void CSkinFrame::SelectPage(int page) {
    if (auto* tabs = qobject_cast<ui::CTabLayoutUI*>(FindControl(QStringLiteral("skin_tab")))) {
        tabs->SelectItem(page);
    }
    // The page buttons show which page is up.
    const char* const buttons[] = {"skin_image", "skin_color"};
    for (int i = 0; i < 2; ++i) {
        if (auto* option = qobject_cast<ui::COptionUI*>(FindControl(QLatin1String(buttons[i])))) {
            option->Selected(i == page, false);
        }
    }
}

void CSkinFrame::OnImage(const QString& image) {
    if (image.isEmpty()) return;
    SkinObserver::Instance().Broadcast({false, 0, image});
    WriteSkinImage(services_.iniPath, kSkinFlagImage, image);
}

void CSkinFrame::OnColour(quint32 argb) {
    SkinObserver::Instance().Broadcast({true, argb, QString()});
    // Kept so the next start shows it again.
    WriteSkinColour(services_.iniPath, argb);
}

void CSkinFrame::OnReset() {
    const QString image = QLatin1String(kDefaultBackground);
    SkinObserver::Instance().Broadcast({false, 0, image});
    WriteSkinImage(services_.iniPath, kSkinFlagDefault, image);
}

void CSkinFrame::OnCustom() {
    // The dialog and any message take the focus: the frame goes first, and what follows
    // uses copies only (the frame is deleted once the event loop gets back to it).
    const SkinFrameServices services = services_;
    QWidget* parent = owner_;
    close();
    const QString chosen = services.chooseFile ? services.chooseFile(parent) : QString();
    if (chosen.isEmpty()) return;  // cancelled, or the dialog failed
    const AdoptedImage adopted = AdoptUserBackground(chosen, services.userImageDir);
    if (adopted.result != UserImageResult::Adopted) {
        if (services.showMessage) services.showMessage(UserImageMessageKey(adopted.result));
        return;
    }
    SkinObserver::Instance().Broadcast({false, 0, adopted.copy});
    WriteSkinImage(services.iniPath, kSkinFlagImage, adopted.copy);
}

CSkinFrame* OpenSkinFrame(QWidget* owner, QWidget* skinButton, int dpi,
                          SkinFrameServices services) {
    QPointer<CSkinFrame> frame = new CSkinFrame(owner, skinButton, dpi, std::move(services));
    if (!frame->Open()) {
        delete frame;
        return nullptr;
    }
    return frame;
}

}  // namespace rerov::shell
