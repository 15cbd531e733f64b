#pragma once
// CUpdateInfoListItemUI: one row of the settings window's update list: a product with its
// installed and new revision, the update status, the progress of a running update and the
// option that selects the row for updating.

#include <QString>

#include "controls/list_base.h"

class QCheckBox;
class QProgressBar;

namespace rerov::shell {

/// What a row status looks like.
struct UpdateRowLook {
    const char* textKey;     // language key of "update_status_text"
    bool progressShown;      // "update_status_ing"
    bool doneShown;          // "update_status_ok"
    bool checkEnabled;       // "check_name_select" can be changed
    quint32 textColour;      // status text while the check option is enabled
    quint32 disabledColour;  // status text while it is disabled
};

/// Row statuses: 0 up to date, 1 and 2 an update is available, 3 waiting for download,
/// 4 downloading, 5 downloaded, 6 updating, 7 updated, 8 failed.
inline constexpr int kUpdateRowStatusCount = 9;
/// The look of `status`; null for a status out of range.
const UpdateRowLook* UpdateRowLookOf(int status);
/// True while the row's update runs (statuses 3 to 6).
bool IsUpdateRunning(int status);

class CUpdateInfoListItemUI : public ui::CListContainerElementUI {
    Q_OBJECT
  public:
    /// A row with its sub-controls, in status 0 with its texts bound to the language.
    explicit CUpdateInfoListItemUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("UpdateInfoListItemUI"); }

    /// The row status; setting the current one again does nothing, one out of range is
    /// ignored.
    void SetStatus(int status);
    int Status() const { return status_; }

    /// The product the row stands for, shown beside the check option: a name, or a
    /// language key whose text follows the language.
    void SetProductName(const QString& name);
    void SetProductNameKey(const QString& key);
    QString ProductName() const;
    /// "updateRev": hidden while empty.
    void SetNewRevision(const QString& text);
    QString NewRevision() const;
    /// "OldRev".
    void SetCurrentRevision(const QString& text);
    QString CurrentRevision() const;
    /// Stores the value and shows it as "45%".
    void SetProgress(int percent);
    int Progress() const { return progress_; }

    bool IsChecked() const;
    /// Checks or unchecks the option; with `notify` it sends "selectchanged" as a click does.
    void SetChecked(bool checked, bool notify = false);
    void SetCheckEnabled(bool enabled);
    bool IsCheckEnabled() const;
    /// The colour the status text has now.
    quint32 StatusTextColour() const;

  protected:
    void DrawItemBk(QPainter& painter, const QRect& paint) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void ApplyStatusColour();

    int status_ = -1;
    int progress_ = 0;
    bool hover_ = false;
    QCheckBox* check_ = nullptr;
    ui::CLabelUI* name_ = nullptr;
    ui::CLabelUI* oldRev_ = nullptr;
    ui::CLabelUI* newRev_ = nullptr;
    ui::CLabelUI* statusText_ = nullptr;
    ui::CContainerUI* progressBox_ = nullptr;
    ui::CLabelUI* progressValue_ = nullptr;
    ui::CControlUI* doneMark_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
};

}  // namespace rerov::shell
