#pragma once
// CSetWnd: the settings and update window. It offers the language choice and the update
// page: one row per installed product with its version, the status line with the date of
// the last check, and the buttons that start an update. The update itself is another
// program's work; its progress arrives as relay messages (Relay) that the main window
// passes on.

#include <QDate>
#include <QPointer>
#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

#include "controls/window_base.h"
#include "shell/settings/version_list.h"

class QComboBox;

namespace rerov::ui {
class CControlUI;
}

namespace rerov::shell {

class CUpdateInfoListItemUI;

/// What the settings window asks of the window that opened it.
class SettingsOwner {
  public:
    virtual ~SettingsOwner() = default;
    /// The language at `index` of "Language.config" was chosen (also when it is the one
    /// shown).
    virtual void OnLanguageChosen(int index) = 0;
    /// The status line says everything is up to date: the update badge goes.
    virtual void ClearUpdateBadge() = 0;
    /// The window was closed by the system (Alt+F4): the program ends. Called from the
    /// window's close handling; the owner ends the program once that has returned.
    virtual void ExitProgram() = 0;
};

/// Status line states: checking, updates available, none available, updating, up to date.
inline constexpr int kStatusChecking = 0;
inline constexpr int kStatusUpdatesFound = 1;
inline constexpr int kStatusNoUpdateInfo = 2;
inline constexpr int kStatusUpdating = 3;
inline constexpr int kStatusUpToDate = 4;

class CSetWnd : public ui::CWindowBase {
    Q_OBJECT
  public:
    /// The window's size at 96 DPI.
    static constexpr int kDesignWidth = 630;
    static constexpr int kDesignHeight = 500;

    explicit CSetWnd(QWidget* owner = nullptr);

    QString GetSkinFile() const override { return QStringLiteral("setwnd.xml"); }
    QString GetWindowClassName() const override { return QStringLiteral("SetWnd"); }
    void Notify(const ui::Notification& msg) override;

    // --- Set before the window is shown ---

    void SetOwner(SettingsOwner* owner) { owner_ = owner; }
    /// The main window's language index, selected in the combo at start-up.
    void SetLanguageIndex(int index) { languageIndex_ = index; }
    int LanguageIndex() const { return languageIndex_; }
    /// One update row per version row, in order; every row is counted.
    void SetVersionRows(const std::vector<VersionRow>& rows);
    /// Where the date of the last check is kept, and today's date (tests fix both).
    void SetUpdateTimeFile(const std::filesystem::path& path) { updateTimeFile_ = path; }
    void SetClock(std::function<QDate()> today) { today_ = std::move(today); }

    /// Applies a DPI of 48, 72, 96, 120, 144, 168 or 192 (any other: 96, with a warning);
    /// the window and its content scale by dpi / 96. The same DPI again does nothing.
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }

    // --- State ---

    /// Shows status line state 0..4 (others are ignored); 4 also clears the owner's update
    /// badge.
    void SetStatus(int status);
    int Status() const { return status_; }
    /// The date of the last check as read or written at start-up.
    QString LastCheckDate() const { return lastCheckDate_; }
    /// The update rows in list order, and how many of them the update report counts.
    std::vector<CUpdateInfoListItemUI*> Rows() const;
    int CountedRows() const { return countedRows_; }
    /// The row the updater's messages refer to: the first counted row that is checked and
    /// whose update runs; null when there is none.
    CUpdateInfoListItemUI* CurrentRow() const;
    /// True while a counted row's update runs: the window then refuses to close.
    bool IsUpdateRunning() const;

    /// An updater's message: runs the update report for `code` (1 finished, 2 and 3 failed,
    /// 4 progress `value`), then asks the window to close. True when the window closed.
    bool Relay(int code, int value);
    /// Closes the window unless an update runs; true when it closed.
    bool RequestClose();

  protected:
    void InitWindow() override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void StartUp();
    void FillLanguageCombo();
    void ChooseLanguage(int index);
    void OnRowCheckChanged();
    void OnUpdateConfirmed();
    void RunUpdateReport(int code, int value);
    void ShowStatus(int status);
    void DismissHint();
    QSize ScaledDesignSize() const;

    SettingsOwner* owner_ = nullptr;
    QComboBox* languageCombo_ = nullptr;
    ui::CControlUI* updateList_ = nullptr;
    int languageIndex_ = -1;
    int selectedByNotification_ = -1;  // the index an "itemselect" just chose
    int countedRows_ = 0;
    int dpi_ = 96;
    int status_ = kStatusChecking;
    QString lastCheckDate_;
    std::filesystem::path updateTimeFile_;
    std::function<QDate()> today_;
};

}  // namespace rerov::shell
