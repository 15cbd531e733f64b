#include "editors/widgets/macro_control.h"

#include <QCheckBox>
#include <QCursor>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/notify_bridge.h"
#include "profiles/json_file_io.h"

namespace rerov::editors {

namespace {

constexpr int kRowHeight = 30;
constexpr int kRecordTickMs = 100;

// Items of the action menu, in order; an empty name is a separator.
constexpr const char* kMenuItems[] = {
    "redio_previous_record_time",
    "redio_previous_constant_time",
    "redio_previous_ignore_time",
    "",
    "redio_later_record_time",
    "redio_later_constant_time",
    "redio_later_ignore_time",
    "",
    "macro_action_edit",
    "",
    "left_click",
    "right_click",
    "middle_click",
    "forward_click",
    "back_click",
    "",
    "left_down",
    "left_up",
    "right_down",
    "right_up",
    "middle_down",
    "middle_up",
    "forward_down",
    "forward_up",
    "back_down",
    "back_up",
};

qint64 SteadyMs() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer.elapsed();
}

}  // namespace

CMacroControlUI::CMacroControlUI(QWidget* parent, std::function<qint64()> clock)
    : ui::CHorizontalLayoutUI(parent),
      clock_(clock ? std::move(clock) : std::function<qint64()>(&SteadyMs)),
      library_(std::make_unique<MacroLibrary>(std::filesystem::path())) {
    setObjectName(QStringLiteral("MacroControlItem_host"));
}

CMacroControlUI::~CMacroControlUI() = default;

bool CMacroControlUI::Build(QString* error) {
    ui::LayoutBuilder builder;
    QWidget* root = builder.Create(QString::fromLatin1(kMacroControlLayout), nullptr, this);
    if (root == nullptr) {
        if (error != nullptr) *error = builder.ErrorString();
        return false;
    }
    Add(root);
    ui::SubControlBinder find(this);
    find(&names_, "macro_name_list");
    find(&actions_, "macro_action_list");
    find(&nameEdit_, "macro_edit_macroname");
    find(&fixedDelay_, "macro_fixed_time_edit");
    find(&constantTime_, "macro_check_time");
    find(&recordState_, "macro_record_state");
    find(&actionLayout_, "macro_action_layout");
    find(&mouseMoveLayout_, "mouse_move_layout");
    find(&start_, "macro_btn_starredio");
    find(&stop_, "macro_btn_stopredio");
    find(&moveEdits_[0], "mouse_x_left_edit");
    find(&moveEdits_[1], "mouse_x_right_edit");
    find(&moveEdits_[2], "mouse_y_up_edit");
    find(&moveEdits_[3], "mouse_y_down_edit");
    for (const char* name :
         {"macro_btn_name_add", "macro_btn_name_sub", "macro_btn_name_edit", "macro_btn_import",
          "macro_btn_export", "macro_btn_up", "macro_btn_down", "macro_btn_uptop",
          "macro_btn_downbottom", "macro_btn_delete", "macro_btn_deleteall", "macro_btn_save",
          "macro_btn_cancel", "macro_inset_moveleftkey_btn", "macro_inset_moverightkey_btn",
          "macro_inset_moveupkey_btn", "macro_inset_movedownkey_btn"}) {
        QPushButton* button = nullptr;
        find(&button, name);
        lockedButtons_ << button;
    }
    if (!find.Complete(error)) return false;
    fixedDelay_->setValidator(new QIntValidator(0, 999999, fixedDelay_));
    fixedDelay_->setText(QString::number(recorder_.FixedDelay()));
    for (QLineEdit* edit : moveEdits_) {
        edit->setValidator(new QIntValidator(0, 255, edit));
        edit->setText(QStringLiteral("10"));
    }
    connect(actions_, &QListWidget::currentRowChanged, this,
            [this](int row) { recorder_.Select(row); });
    connect(actions_, &QListWidget::itemDoubleClicked, this, [this] { ShowActionMenu(); });
    recordTimer_ = new QTimer(this);
    recordTimer_->setInterval(kRecordTickMs);
    connect(recordTimer_, &QTimer::timeout, this, [this] { ShowRecordState(); });
    stop_->setEnabled(false);
    SetMacroControlsEnabled(false);
    ShowRecordState();
    return true;
}

void CMacroControlUI::SetFolder(const std::filesystem::path& folder) {
    library_ = std::make_unique<MacroLibrary>(folder);
    LoadList(-1);
}

QStringList CMacroControlUI::Names() const {
    QStringList names;
    for (const std::string& name : library_->Names()) names << QString::fromStdString(name);
    return names;
}

void CMacroControlUI::LoadList(int select) {
    library_->Reload();
    {
        ui::NotifySilence silence(names_);
        names_->clear();
        for (const QString& name : Names()) {
            auto* item = new QListWidgetItem(name, names_);
            item->setSizeHint(QSize(0, kRowHeight));
        }
        names_->setCurrentRow(select >= 0 && select < names_->count() ? select : -1);
    }
    LoadMacro();
}

int CMacroControlUI::SelectedIndex() const {
    const int row = names_->currentRow();
    return row >= 0 && row < library_->Count() ? row : -1;
}

void CMacroControlUI::SetMacroControlsEnabled(bool enabled) {
    actionLayout_->setEnabled(enabled);
    mouseMoveLayout_->setEnabled(enabled);
    start_->setEnabled(enabled && !recorder_.IsRecording());
    for (QPushButton* button : lockedButtons_) {
        const QString name = button->objectName();
        if (name == QLatin1String("macro_btn_export") ||
            name == QLatin1String("macro_btn_name_sub") ||
            name == QLatin1String("macro_btn_name_edit")) {
            button->setEnabled(enabled);
        }
    }
}

void CMacroControlUI::LoadMacro() {
    const int index = SelectedIndex();
    if (index < 0 || library_->MacroPath(index).empty()) {
        nameEdit_->setText(index < 0 ? QString() : Names().value(index));
        recorder_.SetSteps({});
        SetMacroControlsEnabled(index >= 0);
        RebuildRows();
        return;
    }
    SetMacroControlsEnabled(true);
    recorder_.SetSteps(library_->ReadSteps(index));
    nameEdit_->setText(Names().value(index));
    RebuildRows();
}

bool CMacroControlUI::SaveMacro() {
    const int index = SelectedIndex();
    if (index < 0) return false;
    // The edits are the authority on the delays: an empty one is 0.
    for (int row = 0; row < actions_->count(); ++row) {
        auto* edit = actions_->itemWidget(actions_->item(row))
                         ->findChild<QLineEdit*>(QStringLiteral("macro_delay"));
        if (edit == nullptr) continue;
        if (edit->text().isEmpty()) edit->setText(QStringLiteral("0"));
        recorder_.SetDelay(row, edit->text().toLongLong());
    }
    return library_->WriteSteps(index, recorder_.Steps()) == MacroResult::Ok;
}

void CMacroControlUI::ShowRow(int row) {
    const MacroEvent& step = recorder_.Steps()[static_cast<std::size_t>(row)];
    auto* item = actions_->item(row);
    auto* widget = new QWidget();
    widget->setObjectName(QStringLiteral("macro_action"));
    auto* layout = new QHBoxLayout(widget);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(8);
    const bool mouse = step.type == kStepMouseButton || step.type == kStepMoveX ||
                       step.type == kStepMoveY || step.type == kStepWheel ||
                       step.type == kStepCursor;
    // The row's words are bound to their keys: they follow a language change.
    auto* name = new QLabel(widget);
    ui::LanguageTexts::BindText(name, "text", QString::fromStdString(StepNameKey(step)));
    name->setObjectName(QStringLiteral("macro_step_name"));
    name->setStyleSheet(mouse ? QStringLiteral("color: #FFB547;")
                              : QStringLiteral("color: #19C3FF;"));
    auto* mark = new QLabel(widget);
    mark->setObjectName(QStringLiteral("macro_step_mark"));
    if (step.type == kStepMoveX || step.type == kStepMoveY) {
        mark->setText(QString::number(step.button));
    } else if (step.type != kStepWheel && step.type != kStepCursor) {
        ui::LanguageTexts::BindText(
            mark, "text",
            step.down ? QStringLiteral("macro_step_down") : QStringLiteral("macro_step_up"));
    }
    mark->setStyleSheet(QStringLiteral("color: #8B93A3;"));
    auto* delay = new QLineEdit(QString::number(step.delay), widget);
    delay->setObjectName(QStringLiteral("macro_delay"));
    delay->setMaxLength(6);
    delay->setValidator(new QIntValidator(0, kMaxStepDelay, delay));
    delay->setFixedSize(72, 24);
    // The rows are 30 pixels high: the edit keeps its text inside that.
    delay->setStyleSheet(QStringLiteral("padding: 0px 4px; min-height: 0px;"));
    auto* ms = new QLabel(widget);
    ui::LanguageTexts::BindText(ms, "text", QStringLiteral("macro_ms"));
    layout->addWidget(name, 1);
    layout->addWidget(mark);
    layout->addWidget(delay);
    layout->addWidget(ms);
    connect(delay, &QLineEdit::editingFinished, this, [this, delay, item] {
        const int at = actions_->row(item);
        if (at < 0) return;
        if (delay->text().isEmpty()) delay->setText(QStringLiteral("0"));
        recorder_.SetDelay(at, delay->text().toLongLong());
        delay->setText(QString::number(recorder_.Steps()[static_cast<std::size_t>(at)].delay));
        SaveMacro();
    });
    item->setSizeHint(QSize(0, kRowHeight));
    actions_->setItemWidget(item, widget);
}

void CMacroControlUI::RebuildRows() {
    QSignalBlocker block(actions_);
    actions_->clear();
    const int count = static_cast<int>(recorder_.Steps().size());
    for (int row = 0; row < count; ++row) {
        new QListWidgetItem(actions_);
        ShowRow(row);
    }
    actions_->setCurrentRow(recorder_.Selected());
    if (recorder_.Selected() >= 0) {
        // After the list has laid out its new rows.
        QTimer::singleShot(50, this, [this] {
            if (QListWidgetItem* item = actions_->item(recorder_.Selected())) {
                actions_->scrollToItem(item);
            }
        });
    }
}

MacroResult CMacroControlUI::AddMacro(QString* name) {
    std::string added;
    int index = -1;
    const MacroResult result = library_->Add(&added, &index);
    if (result == MacroResult::Ok) {
        LoadList(index);
        if (name != nullptr) *name = QString::fromStdString(added);
        emit namesChanged();
    }
    return result;
}

MacroResult CMacroControlUI::RenameMacro(QString* name) {
    const int index = SelectedIndex();
    if (index < 0) return MacroResult::NoSuchMacro;
    const MacroResult result = library_->Rename(index, nameEdit_->text().toStdString());
    if (result == MacroResult::Ok) {
        LoadList(index);
        if (name != nullptr) *name = Names().value(index);
        emit namesChanged();
    }
    return result;
}

MacroResult CMacroControlUI::DeleteMacro(int* deleted) {
    const int index = SelectedIndex();
    if (index < 0) return MacroResult::NoSuchMacro;
    const MacroResult result = library_->Remove(index);
    if (result == MacroResult::Ok) {
        LoadList(library_->Count() > 0 ? 0 : -1);
        if (deleted != nullptr) *deleted = index;
        emit namesChanged();
    }
    return result;
}

MacroResult CMacroControlUI::ImportMacro(const QString& path, QString* name) {
    std::string added;
    int index = -1;
    const MacroResult result = library_->Import(PathFromUtf8(path.toStdString()), &added, &index);
    if (result == MacroResult::Ok) {
        LoadList(index);
        if (name != nullptr) *name = QString::fromStdString(added);
        emit namesChanged();
    }
    return result;
}

MacroResult CMacroControlUI::ExportMacro(const QString& path) {
    const int index = SelectedIndex();
    if (index < 0) return MacroResult::NoSuchMacro;
    SaveMacro();
    return library_->Export(index, PathFromUtf8(path.toStdString()));
}

void CMacroControlUI::TakeFixedDelay() {
    recorder_.SetFixedDelay(fixedDelay_->text().toLongLong());
    fixedDelay_->setText(QString::number(recorder_.FixedDelay()));
}

void CMacroControlUI::SetEditingLocked(bool locked) {
    for (QPushButton* button : lockedButtons_) button->setEnabled(!locked);
    names_->setEnabled(!locked);
    start_->setEnabled(!locked && SelectedIndex() >= 0);
    stop_->setEnabled(locked);
    if (!locked) SetMacroControlsEnabled(SelectedIndex() >= 0);
}

void CMacroControlUI::StartRecording(RecordMode mode, InsertMode insert) {
    if (SelectedIndex() < 0 || recorder_.IsRecording()) return;
    TakeFixedDelay();
    recordStart_ = clock_();
    recorder_.Start(mode, insert, recordStart_);
    SetEditingLocked(true);
    recordTimer_->start();
    ShowRecordState();
}

void CMacroControlUI::StopRecording() {
    if (!recorder_.IsRecording()) return;
    recorder_.Stop();
    recordTimer_->stop();
    SetEditingLocked(false);
    ShowRecordState();
    SaveMacro();
}

void CMacroControlUI::ShowRecordState() {
    if (!recorder_.IsRecording()) {
        recordState_->clear();
        return;
    }
    const qint64 elapsed = clock_() - recordStart_;
    QString format = ui::Tr(QStringLiteral("macro_recording"));
    // A language without the text shows the marker and the time all the same.
    if (!format.contains(QLatin1String("%3"))) format = QStringLiteral("\u25CF %1:%2.%3");
    recordState_->setText(format.arg(elapsed / 60000)
                              .arg((elapsed / 1000) % 60, 2, 10, QLatin1Char('0'))
                              .arg((elapsed / 100) % 10));
}

bool CMacroControlUI::OnStopButton(int x, int y) const {
    const QRect area(stop_->mapToGlobal(QPoint(0, 0)), stop_->size());
    return area.contains(x, y);
}

void CMacroControlUI::RecordKey(InsertMode insert, int scanCode, bool extended, bool down) {
    if (!recorder_.IsRecording()) return;
    if (recorder_.RecordKey(insert, static_cast<std::uint8_t>(scanCode), extended, down,
                            clock_())) {
        RebuildRows();
    }
}

void CMacroControlUI::RecordMouse(InsertMode insert, int message, int extraButton, int x, int y) {
    if (!recorder_.IsRecording()) return;
    if (recorder_.RecordMouse(insert, static_cast<std::uint16_t>(message), extraButton,
                              OnStopButton(x, y), clock_())) {
        RebuildRows();
    }
}

void CMacroControlUI::InsertMouseRow(int row) {
    if (SelectedIndex() < 0) return;
    TakeFixedDelay();
    int distance = 0;
    if (row >= kRowMoveLeft && row <= kRowMoveDown) {
        distance = moveEdits_[static_cast<std::size_t>(row - kRowMoveLeft)]->text().toInt();
    }
    recorder_.InsertMouseStep(row, distance);
    RebuildRows();
    SaveMacro();
}

void CMacroControlUI::RowOperation(const QString& operation) {
    bool changed = false;
    if (operation == QLatin1String("up")) changed = recorder_.MoveUp();
    if (operation == QLatin1String("down")) changed = recorder_.MoveDown();
    if (operation == QLatin1String("top")) changed = recorder_.MoveToTop();
    if (operation == QLatin1String("bottom")) changed = recorder_.MoveToBottom();
    if (operation == QLatin1String("delete")) changed = recorder_.DeleteSelected();
    if (operation == QLatin1String("deleteall")) {
        recorder_.DeleteAll();
        changed = true;
    }
    if (!changed) return;
    RebuildRows();
    SaveMacro();
}

void CMacroControlUI::ShowActionMenu() {
    if (recorder_.IsRecording()) return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("macro_action_menu"));
    for (const char* item : kMenuItems) {
        if (item[0] == '\0') {
            menu.addSeparator();
            continue;
        }
        QAction* action =
            menu.addAction(ui::Tr(QStringLiteral("macro_menu_") + QLatin1String(item)));
        action->setObjectName(QString::fromLatin1(item));
    }
    if (QAction* chosen = menu.exec(QCursor::pos())) emit actionMenuChosen(chosen->objectName());
}

}  // namespace rerov::editors
