#include "shell/settings/set_wnd.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLoggingCategory>
#include <algorithm>
#include <array>

#include "controls/content_scale.h"
#include "controls/control_base.h"
#include "controls/language_texts.h"
#include "controls/notify_bridge.h"
#include "controls/option_ui.h"
#include "device_link/supported_devices.h"
#include "shell/dialogs/msg_wnd.h"
#include "shell/language/language_config.h"
#include "shell/settings/software_version.h"
#include "shell/settings/update_info_list_item.h"
#include "shell/settings/update_relay.h"
#include "shell/settings/update_time_config.h"

Q_LOGGING_CATEGORY(lcSetWnd, "rerov.setwnd", QtWarningMsg)

namespace rerov::shell {
namespace {

constexpr std::array<int, 7> kSupportedDpis = {48, 72, 96, 120, 144, 168, 192};

constexpr char kLanguageCombo[] = "Language_combox_info";
constexpr char kUpdateList[] = "device_update_list_info";
constexpr char kUpdateTab[] = "get_update_tab_layout";
constexpr char kUpdateButton[] = "update_fw_and_ap";
constexpr char kConfirmButton[] = "update_OK_btn";
constexpr char kHintLayout[] = "update_tishi_layout";
constexpr char kHintButton[] = "set_in_update_wnd_btn";
constexpr char kCheckOption[] = "check_name_select";
constexpr char kStatusRing[] = "update_status_ring";
constexpr char kStatusImage[] = "update_status_image";
constexpr char kStatusText[] = "Update_Status_text";

// The tab pages of the update area: the list, and the confirmation of an update.
constexpr int kListPage = 0;
constexpr int kConfirmPage = 1;

// Status line: whether the ring (busy) or the image shows, and the text.
struct StatusLook {
    bool ring;
    const char* textKey;
};
constexpr StatusLook kStatusLooks[] = {
    {true, "GetUpdateInfoText"}, {false, "HaveUpdateInfoText"}, {false, "NoUpdateInfoText"},
    {false, "ISUpdateINGText"},  {false, "UpdateIsLastText"},
};

QString RowName(const VersionRow& row) {
    return row.displayName.isEmpty() ? row.productName : row.displayName;
}

// The installed version as the row shows it ("V1.0.5"); a receiver's row says so in its
// tooltip.
QString RowRevision(const VersionRow& row) {
    return QStringLiteral("V") + VersionText(row.numbers[2]);
}

}  // namespace

CSetWnd::CSetWnd(QWidget* owner)
    : ui::CWindowBase(owner),
      updateTimeFile_(UpdateTimeConfigPath()),
      today_([] { return QDate::currentDate(); }) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void CSetWnd::InitWindow() {
    languageCombo_ = qobject_cast<QComboBox*>(FindControl(QLatin1String(kLanguageCombo)));
    updateList_ = qobject_cast<ui::CControlUI*>(FindControl(QLatin1String(kUpdateList)));
    if (languageCombo_ != nullptr) {
        // Picking the language already shown changes no index, so only "activated" tells.
        connect(languageCombo_, &QComboBox::activated, this, [this](int index) {
            // A pick of another language came as "itemselect" just before.
            if (index == selectedByNotification_) {
                selectedByNotification_ = -1;
                return;
            }
            selectedByNotification_ = -1;
            ChooseLanguage(index);
        });
    }
    if (QWidget* button = FindControl(QLatin1String(kUpdateButton))) {
        button->setEnabled(false);
        button->hide();
    }
    resize(ScaledDesignSize());
    ShowMaximisedState();
}

QSize CSetWnd::ScaledDesignSize() const {
    const qreal scale = static_cast<qreal>(dpi_) / kDesignDpi;
    return {ui::ScaleLength(kDesignWidth, scale), ui::ScaleLength(kDesignHeight, scale)};
}

void CSetWnd::SetDpi(int dpi) {
    if (std::find(kSupportedDpis.begin(), kSupportedDpis.end(), dpi) == kSupportedDpis.end()) {
        qCWarning(lcSetWnd, "SET_WND DPI SET ERROR (%d)", dpi);
        dpi = kDesignDpi;
    }
    if (dpi == dpi_) return;
    dpi_ = dpi;
    setFixedSize(ScaledDesignSize());
    SetContentScale(static_cast<qreal>(dpi_) / kDesignDpi);
}

void CSetWnd::SetVersionRows(const std::vector<VersionRow>& rows) {
    auto* list = qobject_cast<ui::CContainerUI*>(updateList_);
    if (list == nullptr) return;
    for (size_t i = 0; i < rows.size(); ++i) {
        const VersionRow& version = rows[i];
        auto* row = new CUpdateInfoListItemUI;
        // The version list ends with the program's own row; its record names no product a
        // person knows, so it is called what it is.
        if (i + 1 == rows.size() &&
            version.modelCode == QString::fromUtf8(kProductRecords.back().modelCode)) {
            row->SetProductNameKey(QStringLiteral("update_row_program"));
        } else {
            row->SetProductName(RowName(version));
        }
        row->SetCurrentRevision(RowRevision(version));
        if (version.numbers[1] < 0) {
            ui::LanguageTexts::BindText(row, "toolTip", QStringLiteral("update_receiver_tip"));
        }
        // Rows go above the list's closing spacer, so they stack from the top.
        auto* box = qobject_cast<QBoxLayout*>(list->layout());
        if (box != nullptr && box->count() > 0 && box->itemAt(box->count() - 1)->spacerItem()) {
            box->insertWidget(box->count() - 1, row);
            row->show();
        } else {
            list->Add(row);
        }
    }
    countedRows_ = static_cast<int>(Rows().size());
    // The new rows take the window's scale like the rest of its content.
    SetContentScale(ContentScale());
}

std::vector<CUpdateInfoListItemUI*> CSetWnd::Rows() const {
    std::vector<CUpdateInfoListItemUI*> rows;
    auto* list = qobject_cast<ui::CContainerUI*>(updateList_);
    if (list == nullptr) return rows;
    for (QWidget* item : list->Items()) {
        if (auto* row = qobject_cast<CUpdateInfoListItemUI*>(item)) rows.push_back(row);
    }
    return rows;
}

CUpdateInfoListItemUI* CSetWnd::CurrentRow() const {
    const std::vector<CUpdateInfoListItemUI*> rows = Rows();
    const int counted = std::min(countedRows_, static_cast<int>(rows.size()));
    for (int i = 0; i < counted; ++i) {
        CUpdateInfoListItemUI* row = rows[static_cast<size_t>(i)];
        if (row->IsChecked() && shell::IsUpdateRunning(row->Status())) return row;
    }
    return nullptr;
}

bool CSetWnd::IsUpdateRunning() const {
    // A row at rest is in status 0 ("up to date"): counting it as running, as a close
    // check on statuses 0 and 3 to 6 would, would keep the window from ever closing. Only
    // rows whose update runs (3 to 6) hold it open.
    const std::vector<CUpdateInfoListItemUI*> rows = Rows();
    const int counted = std::min(countedRows_, static_cast<int>(rows.size()));
    for (int i = 0; i < counted; ++i) {
        if (shell::IsUpdateRunning(rows[static_cast<size_t>(i)]->Status())) return true;
    }
    return false;
}

void CSetWnd::Notify(const ui::Notification& msg) {
    const QString name = msg.SenderName();
    if (msg.type == ui::notify_type::kWindowInit) {
        StartUp();
    } else if (msg.type == ui::notify_type::kItemSelect &&
               ui::IsControlName(name, kLanguageCombo)) {
        ChooseLanguage(static_cast<int>(msg.wParam));
        // The "activated" that follows in the same pick must not choose it a second time.
        selectedByNotification_ = static_cast<int>(msg.wParam);
    } else if (msg.type == ui::notify_type::kSelectChanged &&
               ui::IsControlName(name, kCheckOption)) {
        OnRowCheckChanged();
    } else if (msg.type == ui::notify_type::kClick) {
        if (ui::IsControlName(name, "closebtn") || ui::IsControlName(name, "laterbtn")) {
            RequestClose();
            return;
        }
        if (ui::IsControlName(name, "restorebtn")) {
            showNormal();
            setFixedSize(ScaledDesignSize());
            return;
        }
        if (HandleCaptionButton(name)) return;
        if (ui::IsControlName(name, kHintButton)) {
            DismissHint();
            return;
        }
        if (ui::IsControlName(name, kUpdateButton)) {
            if (auto* tab =
                    qobject_cast<ui::CTabLayoutUI*>(FindControl(QLatin1String(kUpdateTab)))) {
                tab->SelectItem(kConfirmPage);
            }
            return;
        }
        if (ui::IsControlName(name, kConfirmButton)) {
            OnUpdateConfirmed();
            return;
        }
        // "menubtn" and "homepage_btn" open nothing.
    }
    ui::CWindowBase::Notify(msg);
}

void CSetWnd::StartUp() {
    FillLanguageCombo();
    const StoredCheckDate read = ReadOrStampLastCheckDate(updateTimeFile_, today_());
    if (!read.error.isEmpty()) {
        qCWarning(lcSetWnd, "the date of the last update check was not saved: %s",
                  qUtf8Printable(read.error));
    }
    lastCheckDate_ = read.date;
    ShowStatus(status_);
}

void CSetWnd::FillLanguageCombo() {
    if (languageCombo_ == nullptr) return;
    const ui::NotifySilence silence(languageCombo_);
    languageCombo_->clear();
    const LanguageList languages = ReadLanguageList();
    for (const LanguageEntry& language : languages) {
        languageCombo_->addItem(language.name);
        if (!language.textKey.isEmpty()) {
            ui::LanguageTexts::BindItemText(languageCombo_, languageCombo_->count() - 1,
                                            language.textKey);
        }
    }
    ui::SelectItemSilently(languageCombo_, languageIndex_);
}

void CSetWnd::ChooseLanguage(int index) {
    if (owner_ == nullptr) return;
    languageIndex_ = index;
    owner_->OnLanguageChosen(index);
}

void CSetWnd::OnRowCheckChanged() {
    bool anyChecked = false;
    for (const CUpdateInfoListItemUI* row : Rows()) anyChecked = anyChecked || row->IsChecked();
    if (QWidget* button = FindControl(QLatin1String(kUpdateButton))) {
        button->setEnabled(anyChecked);
        button->setVisible(anyChecked);
    }
}

void CSetWnd::OnUpdateConfirmed() {
    for (CUpdateInfoListItemUI* row : Rows()) {
        if (row->Status() != 1 && row->Status() != 2) continue;
        if (row->IsChecked()) {
            row->SetStatus(3);
        } else {
            row->SetCheckEnabled(false);
        }
    }
    if (QWidget* button = FindControl(QLatin1String(kUpdateButton))) button->setEnabled(false);
    ProgramUpdateProgress().updateStarted = true;
    if (auto* tab = qobject_cast<ui::CTabLayoutUI*>(FindControl(QLatin1String(kUpdateTab)))) {
        tab->SelectItem(kListPage);
    }
}

bool CSetWnd::Relay(int code, int value) {
    RunUpdateReport(code, value);
    return RequestClose();
}

void CSetWnd::RunUpdateReport(int code, int value) {
    CUpdateInfoListItemUI* current = CurrentRow();
    if (current == nullptr) return;
    UpdateProgress& progress = ProgramUpdateProgress();
    switch (static_cast<RelayCode>(code)) {
        case RelayCode::Finished: {
            current->SetCurrentRevision(current->NewRevision());
            current->SetNewRevision(QString());
            current->SetStatus(7);
            current->SetChecked(false, true);
            progress.transferState = 0;
            const std::vector<CUpdateInfoListItemUI*> rows = Rows();
            const int counted = std::min(countedRows_, static_cast<int>(rows.size()));
            for (int i = 0; i < counted; ++i) {
                const CUpdateInfoListItemUI* row = rows[static_cast<size_t>(i)];
                if (row->IsChecked() && row->Status() != 7) return;  // more rows to do
            }
            bool anyLeft = false;
            for (int i = 0; i < counted; ++i) {
                CUpdateInfoListItemUI* row = rows[static_cast<size_t>(i)];
                if (row->Status() == 7) continue;
                row->SetCheckEnabled(true);
                anyLeft = true;
            }
            SetStatus(anyLeft ? kStatusUpdatesFound : kStatusUpToDate);
            break;
        }
        case RelayCode::Failed:
            if (progress.transferState != 0 && progress.transferState != 1) current->SetStatus(8);
            break;
        case RelayCode::Aborted:
            progress.transferState = -1;
            current->SetStatus(8);
            break;
        case RelayCode::Progress:
            current->SetProgress(value);
            break;
    }
}

bool CSetWnd::RequestClose() {
    if (IsUpdateRunning()) return false;
    // No worker threads belong to this window: there is nothing to stop before it goes.
    Close(0);
    return true;
}

void CSetWnd::SetStatus(int status) {
    if (status < kStatusChecking || status > kStatusUpToDate) return;
    status_ = status;
    ShowStatus(status);
}

void CSetWnd::ShowStatus(int status) {
    const StatusLook& look = kStatusLooks[status];
    if (QWidget* ring = FindControl(QLatin1String(kStatusRing))) ring->setVisible(look.ring);
    if (QWidget* image = FindControl(QLatin1String(kStatusImage))) image->setVisible(!look.ring);
    QWidget* text = FindControl(QLatin1String(kStatusText));
    if (text != nullptr) ui::LanguageTexts::BindText(text, "text", QLatin1String(look.textKey));
    if (status != kStatusUpToDate) return;
    if (text != nullptr) {
        // The date is no language text: the composed line is set as plain text and composed
        // again when the language changes.
        const QString composed = text->property("text").toString() + lastCheckDate_;
        ui::LanguageTexts::UnbindText(text, "text");
        text->setProperty("text", composed);
    }
    if (owner_ != nullptr) owner_->ClearUpdateBadge();
}

void CSetWnd::DismissHint() {
    if (QWidget* hint = FindControl(QLatin1String(kHintLayout))) hint->hide();
    resize(ScaledDesignSize());
}

void CSetWnd::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) ShowMaximisedState();
    ui::CWindowBase::changeEvent(event);
    // The language switch retranslates the bound texts; the composed status line follows.
    if (event->type() == QEvent::LanguageChange && status_ == kStatusUpToDate) {
        ShowStatus(kStatusUpToDate);
        update();
    }
}

void CSetWnd::closeEvent(QCloseEvent* event) {
    if (event->spontaneous()) {
        // The system's close (Alt+F4) ends the program, through the owner's orderly exit.
        ui::CWindowBase::closeEvent(event);
        if (owner_ != nullptr) owner_->ExitProgram();
        return;
    }
    if (IsUpdateRunning()) {
        event->ignore();
        return;
    }
    ui::CWindowBase::closeEvent(event);
}

}  // namespace rerov::shell
