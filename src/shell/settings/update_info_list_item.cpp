#include "shell/settings/update_info_list_item.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QProgressBar>

#include "controls/language_texts.h"
#include "controls/notification.h"
#include "controls/notify_bridge.h"
#include "controls/render_engine.h"

namespace rerov::shell {
namespace {

constexpr quint32 kWhite = 0xFFFFFFFF;
constexpr quint32 kGrey = 0xFF666666;
constexpr quint32 kBlue = 0xFF0099FF;
constexpr quint32 kDarkBlue = 0xFF0078C8;

// clang-format off
constexpr UpdateRowLook kLooks[kUpdateRowStatusCount] = {
    {"LessUpdateText",   false, false, false, kWhite, kGrey},
    {"NeedUpdateText",   false, false, true,  kBlue,  kDarkBlue},
    {"NeedUpdateText",   false, false, true,  kBlue,  kDarkBlue},
    {"DownloadWaitText", false, false, false, kBlue,  kDarkBlue},
    {"DownloadIngText",  true,  false, false, kBlue,  kDarkBlue},
    {"DownloadOkText",   false, true,  false, kBlue,  kDarkBlue},
    {"UpdateIngText",    true,  false, false, kBlue,  kDarkBlue},
    {"UpdateOkText",     false, false, false, kWhite, kGrey},
    {"UpdateFailText",   false, false, true,  kBlue,  kDarkBlue},
};
// clang-format on

// Design sizes of the row's columns (the window scales them with the rest).
constexpr int kRowHeight = 44;
constexpr int kRevisionWidth = 80;
constexpr int kStatusWidth = 160;
constexpr int kMarkSize = 18;

ui::CLabelUI* MakeLabel(const QString& name, int width, quint32 colour) {
    auto* label = new ui::CLabelUI;
    label->setObjectName(name);
    label->SetAttribute(QStringLiteral("align"), QStringLiteral("left,vcenter"));
    label->SetAttribute(QStringLiteral("font"), QStringLiteral("8"));
    label->SetTextColor(colour);
    if (width > 0) label->setFixedWidth(width);
    return label;
}

}  // namespace

const UpdateRowLook* UpdateRowLookOf(int status) {
    if (status < 0 || status >= kUpdateRowStatusCount) return nullptr;
    return &kLooks[status];
}

bool IsUpdateRunning(int status) { return status >= 3 && status <= 6; }

CUpdateInfoListItemUI::CUpdateInfoListItemUI(QWidget* parent)
    : ui::CListContainerElementUI(parent) {
    setFixedHeight(kRowHeight);
    setAttribute(Qt::WA_Hover);
    auto* box = new QHBoxLayout(this);
    box->setContentsMargins(14, 0, 14, 0);
    box->setSpacing(10);

    check_ = new QCheckBox(this);
    check_->setObjectName(QStringLiteral("check_name_select"));
    check_->setEnabled(false);
    box->addWidget(check_);
    // The name stays readable while the option cannot be changed.
    name_ = MakeLabel(QStringLiteral("update_product_name"), 0, 0xFFE6E8EE);
    box->addWidget(name_, 1);

    oldRev_ = MakeLabel(QStringLiteral("OldRev"), kRevisionWidth, 0xFFC9CED8);
    box->addWidget(oldRev_);
    newRev_ = MakeLabel(QStringLiteral("updateRev"), kRevisionWidth, 0xFF19C3FF);
    // The column keeps its width while empty, so the rows line up with the header.
    QSizePolicy keepWidth = newRev_->sizePolicy();
    keepWidth.setRetainSizeWhenHidden(true);
    newRev_->setSizePolicy(keepWidth);
    newRev_->hide();
    box->addWidget(newRev_);

    auto* status = new ui::CContainerUI(this);
    status->setObjectName(QStringLiteral("update_status_box"));
    status->setFixedWidth(kStatusWidth);
    auto* statusBox = new QHBoxLayout(status);
    statusBox->setContentsMargins(0, 0, 0, 0);
    statusBox->setSpacing(6);
    statusText_ = MakeLabel(QStringLiteral("update_status_text"), 0, kWhite);
    statusBox->addWidget(statusText_, 1);
    progressBox_ = new ui::CContainerUI(status);
    progressBox_->setObjectName(QStringLiteral("update_status_ing"));
    auto* progressLine = new QHBoxLayout(progressBox_);
    progressLine->setContentsMargins(0, 0, 0, 0);
    progressLine->setSpacing(6);
    progressBar_ = new QProgressBar(progressBox_);
    progressBar_->setObjectName(QStringLiteral("update_progress_bar"));
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedSize(60, 6);
    progressLine->addWidget(progressBar_, 0, Qt::AlignVCenter);
    progressValue_ = MakeLabel(QStringLiteral("update_progress_value"), 38, 0xFF19C3FF);
    progressLine->addWidget(progressValue_);
    progressBox_->hide();
    statusBox->addWidget(progressBox_);
    doneMark_ = new ui::CControlUI(status);
    doneMark_->setObjectName(QStringLiteral("update_status_ok"));
    doneMark_->setFixedSize(kMarkSize, kMarkSize);
    doneMark_->SetBkImage(QStringLiteral("images/check_on.svg"));
    doneMark_->hide();
    statusBox->addWidget(doneMark_, 0, Qt::AlignVCenter);
    box->addWidget(status);

    SetProgress(0);
    SetStatus(0);
}

void CUpdateInfoListItemUI::SetStatus(int status) {
    const UpdateRowLook* look = UpdateRowLookOf(status);
    if (look == nullptr || status == status_) return;
    status_ = status;
    ui::LanguageTexts::BindText(statusText_, "text", QLatin1String(look->textKey));
    progressBox_->setVisible(look->progressShown);
    doneMark_->setVisible(look->doneShown);
    check_->setEnabled(look->checkEnabled);
    ApplyStatusColour();
}

void CUpdateInfoListItemUI::ApplyStatusColour() {
    const UpdateRowLook* look = UpdateRowLookOf(status_);
    if (look == nullptr) return;
    statusText_->SetTextColor(check_->isEnabled() ? look->textColour : look->disabledColour);
}

quint32 CUpdateInfoListItemUI::StatusTextColour() const { return statusText_->GetTextColor(); }

void CUpdateInfoListItemUI::SetProductName(const QString& name) {
    ui::LanguageTexts::UnbindText(name_, "text");
    name_->SetText(name);
}

void CUpdateInfoListItemUI::SetProductNameKey(const QString& key) {
    ui::LanguageTexts::BindText(name_, "text", key);
}

QString CUpdateInfoListItemUI::ProductName() const { return name_->GetText(); }

void CUpdateInfoListItemUI::SetNewRevision(const QString& text) {
    newRev_->SetText(text);
    newRev_->setVisible(!text.isEmpty());
}

QString CUpdateInfoListItemUI::NewRevision() const { return newRev_->GetText(); }

void CUpdateInfoListItemUI::SetCurrentRevision(const QString& text) { oldRev_->SetText(text); }

QString CUpdateInfoListItemUI::CurrentRevision() const { return oldRev_->GetText(); }

void CUpdateInfoListItemUI::SetProgress(int percent) {
    progress_ = percent;
    progressBar_->setValue(qBound(0, percent, 100));
    progressValue_->SetText(QStringLiteral("%1%").arg(percent));
}

bool CUpdateInfoListItemUI::IsChecked() const { return check_->isChecked(); }

void CUpdateInfoListItemUI::SetChecked(bool checked, bool notify) {
    if (notify) {
        check_->setChecked(checked);
    } else {
        ui::SetCheckedSilently(check_, checked);
    }
    update();
}

void CUpdateInfoListItemUI::SetCheckEnabled(bool enabled) {
    check_->setEnabled(enabled);
    ApplyStatusColour();
}

bool CUpdateInfoListItemUI::IsCheckEnabled() const { return check_->isEnabled(); }

void CUpdateInfoListItemUI::DrawItemBk(QPainter& painter, const QRect& paint) {
    ui::CListContainerElementUI::DrawItemBk(painter, paint);
    // A row that is not chosen shows a thin frame under the mouse, in the list's hot text
    // colour, so the pointer's row stands out from the chosen ones.
    if (!IsChecked() && hover_) {
        const ui::CListUI* owner = GetOwner();
        const quint32 colour = owner ? owner->GetListInfo().hotTextColor : 0xFF19C3FF;
        ui::render::DrawRect(painter, rect(), 1, colour);
    }
}

void CUpdateInfoListItemUI::enterEvent(QEnterEvent* event) {
    hover_ = true;
    update();
    ui::CListContainerElementUI::enterEvent(event);
}

void CUpdateInfoListItemUI::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    ui::CListContainerElementUI::leaveEvent(event);
}

void CUpdateInfoListItemUI::contextMenuEvent(QContextMenuEvent* event) {
    if (IsContextMenuUsed()) {
        ui::SendNotify(this, ui::notify_type::kMenu, event->globalPos().x(),
                       event->globalPos().y());
        return;
    }
    ui::CListContainerElementUI::contextMenuEvent(event);
}

void CUpdateInfoListItemUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (isEnabled()) ui::SendNotify(this, ui::notify_type::kItemActivate, GetIndex());
    ui::CListContainerElementUI::mouseDoubleClickEvent(event);
}

}  // namespace rerov::shell
