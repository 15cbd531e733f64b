#pragma once
// CMacroControlUI: the macro editor's widget. It shows the device's macros (MacroLibrary)
// and the steps of the selected one (MacroRecorder), one row per step with its name, its
// press or release mark and its delay edit. Recording, row moves and hand-inserted mouse
// steps run on the recorder; every change is saved to the macro's file at once. The page
// that hosts it routes its buttons and feeds it the captured input.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "controls/option_ui.h"
#include "editors/macro/macro_library.h"
#include "editors/macro/macro_recorder.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace rerov::editors {

inline constexpr const char* kMacroControlLayout = "XML\\CustomControlXML\\MacroControl.xml";

class CMacroControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT
  public:
    /// `clock` gives milliseconds for the recording's delays (a steady clock when null).
    explicit CMacroControlUI(QWidget* parent = nullptr, std::function<qint64()> clock = {});
    ~CMacroControlUI() override;
    QString GetClass() const override { return QStringLiteral("MacroSetControlUI"); }

    /// Builds the layout and finds its controls; false with *error when one is missing.
    bool Build(QString* error = nullptr);

    /// The device's folder; loads its list (nothing selected).
    void SetFolder(const std::filesystem::path& folder);
    MacroLibrary& Library() { return *library_; }
    MacroRecorder& Recorder() { return recorder_; }
    /// The macro names in list order.
    QStringList Names() const;
    /// Re-reads the list and shows it; `select` is selected afterwards (-1: none).
    void LoadList(int select = -1);
    /// The selected macro, or -1.
    int SelectedIndex() const;
    /// Shows the selected macro's steps and name (nothing selected: an empty list).
    void LoadMacro();
    /// Writes the selected macro's steps, with the delays of the edits; false on failure.
    bool SaveMacro();

    /// The list operations; each returns what MacroLibrary says and leaves the list shown.
    MacroResult AddMacro(QString* name = nullptr);
    MacroResult RenameMacro(QString* name = nullptr);
    MacroResult DeleteMacro(int* deleted = nullptr);
    MacroResult ImportMacro(const QString& path, QString* name = nullptr);
    MacroResult ExportMacro(const QString& path);

    /// Recording: starts in `mode`, inserting by `insert`; stops and saves.
    void StartRecording(RecordMode mode, InsertMode insert);
    void StopRecording();
    bool IsRecording() const { return recorder_.IsRecording(); }
    /// A captured key or mouse message for the recording (ignored when not recording).
    void RecordKey(InsertMode insert, int scanCode, bool extended, bool down);
    void RecordMouse(InsertMode insert, int message, int extraButton, int x, int y);

    /// Inserts a mouse step by hand (MacroEventTable row; moves read their distance edit),
    /// then saves.
    void InsertMouseRow(int row);
    /// Row operations by name ("up", "down", "top", "bottom", "delete", "deleteall"), then
    /// save.
    void RowOperation(const QString& operation);
    /// The fixed delay typed in "macro_fixed_time_edit" (clamped; the edit shows the
    /// clamped value).
    void TakeFixedDelay();
    /// Shows the row's action menu at the cursor (a double click on a row).
    void ShowActionMenu();

  signals:
    /// The user chose an item of the action menu (its name: "left_click", ...).
    void actionMenuChosen(const QString& item);
    /// The list of names changed (add, rename, delete, import).
    void namesChanged();

  private:
    void RebuildRows();
    void ShowRow(int row);
    void SetEditingLocked(bool locked);
    void ShowRecordState();
    void SetMacroControlsEnabled(bool enabled);
    bool OnStopButton(int x, int y) const;

    std::function<qint64()> clock_;
    std::unique_ptr<MacroLibrary> library_;
    MacroRecorder recorder_;
    qint64 recordStart_ = 0;
    QTimer* recordTimer_ = nullptr;
    QListWidget* names_ = nullptr;
    QListWidget* actions_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* fixedDelay_ = nullptr;
    QCheckBox* constantTime_ = nullptr;
    QLabel* recordState_ = nullptr;
    QWidget* actionLayout_ = nullptr;
    QWidget* mouseMoveLayout_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QList<QPushButton*> lockedButtons_;
    std::array<QLineEdit*, 4> moveEdits_{};  // left, right, up, down
};

}  // namespace rerov::editors
