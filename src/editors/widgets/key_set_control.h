#pragma once
// CKeySetControlUI: the key assignment editor's widget. It builds its layout
// ("XML\CustomControlXML\KeySetControl.xml"), fills the lists from the code tables, shows
// the fields of its KeyAssignmentModel and reads them back. The rules live in the model;
// the page that hosts the editor routes the notifications of its controls (Notify names
// them) and hands the composed entry to the device.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "controls/option_ui.h"
#include "editors/assignment/key_assignment_model.h"
#include "input_hook/scan_codes.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace rerov::editors {

/// The layout resource of the editor.
inline constexpr const char* kKeySetLayout = "XML\\CustomControlXML\\KeySetControl.xml";

class CKeySetControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT
  public:
    explicit CKeySetControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("KeySetControlUI"); }

    /// Builds the layout and looks up every named control; false with *error when the
    /// layout is missing or lacks a control.
    bool Build(QString* error = nullptr);

    KeyAssignmentModel& Model() { return model_; }

    void SetDeviceKind(int kind);
    /// Replaces the macro list (no item selected).
    void FillMacroList(const QStringList& names);

    void SetKeyEntry(const KeyAssignment& current, const KeyAssignment& defaults);
    void ShowDefault();
    void ShowCurrent();
    /// Reads the fields and composes Current (Compose in the model).
    KeyEntry ComposeAssignment();
    void ResetFields();
    /// Shows or hides the editor body ("keyset_layout"); hidden, a hint asks for a key.
    void SetBodyVisible(bool visible);
    void SetEditButtonsEnabled(bool enabled);
    /// The name of the selected key shown over the function list.
    void SetKeyName(const QString& name);
    /// A note under the key text saying how keys are captured (empty: none); also the tip.
    void SetCaptureNote(const QString& note, const QString& tooltip);

    /// The user chose a category / a run mode / modifier option n: the fields follow.
    void OnCategoryChosen();
    void OnRunModeChosen();
    void OnModifierOptionChosen(int n);
    /// A key captured while the key text had the focus; true when it was taken (the caller
    /// then applies the entry).
    bool CaptureKey(input_hook::ScanKey key);

    /// The key text edit whose focus starts and ends a capture.
    QLineEdit* KeyTextEdit() const { return keyText_; }

  signals:
    /// A key was pressed in the key text edit itself (the in-window capture).
    void keyPressedInWindow(int scanCode, bool extended);
    /// The key text took (true) or lost (false) the focus: a capture starts or ends. The
    /// window losing its activation (a desktop-wide capture takes the keyboard) is no loss.
    void keyTextFocusChanged(bool focused);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Render();
    void Harvest();
    void ShowKeyText(const std::string& nameKey);
    int CategoryItem(int category) const;

    KeyAssignmentModel model_;
    QWidget* body_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    QLabel* keyName_ = nullptr;
    QLabel* captureNote_ = nullptr;
    QLabel* textTest_ = nullptr;
    QComboBox* function_ = nullptr;
    ui::CTabLayoutUI* pages_ = nullptr;
    QComboBox* mouseKey_ = nullptr;
    QComboBox* tiltDirection_ = nullptr;
    QLineEdit* tiltCount_ = nullptr;
    QLineEdit* tiltDelay_ = nullptr;
    QLineEdit* tiltSpeed_ = nullptr;
    QComboBox* wheelDirection_ = nullptr;
    QLineEdit* wheelCount_ = nullptr;
    QLineEdit* wheelDelay_ = nullptr;
    QLineEdit* wheelSpeed_ = nullptr;
    QComboBox* dpi_ = nullptr;
    QLineEdit* fireInterval_ = nullptr;
    QLineEdit* fireCount_ = nullptr;
    QLineEdit* keyText_ = nullptr;
    std::array<QRadioButton*, kModifierOptionCount> modifiers_{};
    QComboBox* media_ = nullptr;
    QComboBox* system_ = nullptr;
    QComboBox* macro_ = nullptr;
    QComboBox* macroOver_ = nullptr;
    QWidget* macroCycleLayout_ = nullptr;
    QLineEdit* macroCycle_ = nullptr;
    QComboBox* gunKey_ = nullptr;
    QComboBox* shortcut_ = nullptr;
    std::array<QPushButton*, 4> buttons_{};  // save, default, cancel, profile save
};

}  // namespace rerov::editors
