#include "devices/pages/device_page.h"

#include <QEvent>

#include "controls/control_lookup.h"
#include "controls/device_key_button.h"
#include "controls/notify_bridge.h"
#include "controls/select_panel.h"
#include "devices/family_devices.h"
#include "devices/pages/keyboard_key_editing.h"
#include "devices/pages/keyboard_macro_editing.h"
#include "devices/pages/keyboard_page.h"

namespace rerov {

Q_LOGGING_CATEGORY(lcDevicePage, "rerov.devices.page", QtWarningMsg)

namespace {

constexpr quint32 kWhite = 0xFFFFFF;
constexpr int kFullLevel = 255;

// Splits "prefix_<n>" at its last '_' into the prefix (with the '_') and the decimal
// number; false when there is no '_' or no number after it.
bool SplitIndexed(const QString& text, QString* prefix, int* number) {
    const qsizetype underscore = text.lastIndexOf(QLatin1Char('_'));
    if (underscore < 0) return false;
    bool ok = false;
    const int value = text.mid(underscore + 1).toInt(&ok, 10);
    if (!ok) return false;
    *prefix = text.left(underscore + 1);
    *number = value;
    return true;
}

// The select panel of the page's picture: a direct child of `parent` first, else the
// nearest one below it (the picture sits in the page's picture area), or null.
ui::CSelectPanelUI* FirstSelectPanel(const QWidget* parent) {
    if (parent == nullptr) return nullptr;
    return parent->findChild<ui::CSelectPanelUI*>();
}

}  // namespace

CDevicePageUI::CDevicePageUI(std::unique_ptr<CZidiraUSBDevice> device, QWidget* parent)
    : ui::CHorizontalLayoutUI(parent), device_(std::move(device)) {
    device_->SetView(this);
}

CDevicePageUI::~CDevicePageUI() {
    // Panels the page owns unregister in their destructors: they must go while the page is
    // still whole, not later among the widget's children.
    const QObjectList children = this->children();
    for (QObject* child : children) {
        if (dynamic_cast<DeviceSettingsPanel*>(child) != nullptr) delete child;
    }
    if (bridge_) bridge_->RemoveNotifier(this);
    if (editors_) RemoveSettingsPanel(editors_.get());
    editors_.reset();
    // The device stops its own threads while the page can still take their calls.
    device_->SetView(nullptr);
    device_.reset();
}

QString CDevicePageUI::GetClass() const { return QString::fromStdString(device_->GetClass()); }

bool CDevicePageUI::BuildContent(ui::IDialogBuilderCallback* callback, QString* error) {
    const std::string& layoutPath = device_->PageLayoutPath();
    if (!layoutPath.empty()) {
        ui::LayoutBuilder builder;
        QWidget* root = builder.Create(QString::fromStdString(layoutPath), callback, this);
        if (root == nullptr) {
            if (error != nullptr) *error = builder.ErrorString();
            return false;
        }
        content_ = root;
        // A layout with boxes shares the page's room itself (its picture scales to what it
        // gets); one placed by coordinates keeps room for everything it holds.
        const QRect used = root->childrenRect();
        if (root->layout() == nullptr && used.isValid()) {
            root->setMinimumSize(used.right() + 1, used.bottom() + 1);
        }
        Add(root);
    }
    // The keyboard labels its keys in the program's language from its first ShowSettings.
    PrepareKeyboardDevice(*this);
    device_->InitPage();
    editors_ = std::make_unique<PageEditors>(*device_, content_);
    editors_->Build();
    AddSettingsPanel(editors_.get());
    // The keyboard's editors sit in places of its layout.
    if (device_->FamilyIndex() == kFamilyKeyboard && content_ != nullptr) {
        KeyboardKeyEditing::Attach(*this);
        KeyboardMacroEditing::Attach(*this);
        WireKeyboardPage(*this);
    }
    // The power control was handed over before the page existed: show its state now.
    if (device_->PowerControl() != nullptr) ShowPowerLayout(device_->HasPowerDisplay());
    RegisterNotifier();
    UpdatePreviewVisibility();
    return true;
}

CDevicePageUI* CreateFamilyPage(int familyIndex, const SupportedDevice& record, QWidget* parent,
                                ui::IDialogBuilderCallback* callback, QString* error,
                                std::shared_ptr<HidBackend> backend) {
    std::unique_ptr<CZidiraUSBDevice> device =
        CreateFamilyDevice(familyIndex, record, std::move(backend));
    if (device == nullptr) {
        if (error != nullptr) *error = QStringLiteral("unknown device family %1").arg(familyIndex);
        return nullptr;
    }
    auto page = std::make_unique<CDevicePageUI>(std::move(device), parent);
    if (!page->BuildContent(callback, error)) return nullptr;
    return page.release();
}

bool CDevicePageUI::RegisterNotifier() {
    ui::NotifyBridge* bridge = ui::NotifyBridge::Find(this);
    if (bridge == bridge_.data()) return bridge != nullptr;
    if (bridge_) bridge_->RemoveNotifier(this);
    bridge_ = bridge;
    if (bridge_) bridge_->AddNotifier(this);
    return bridge_ != nullptr;
}

bool CDevicePageUI::event(QEvent* event) {
    switch (event->type()) {
        case QEvent::ParentChange:
            // A page moved into a window starts hearing that window's notifications.
            RegisterNotifier();
            UpdatePreviewVisibility();
            break;
        case QEvent::Show:
        case QEvent::Hide:
            // Also sent when the window itself is shown or hidden (to the tray).
            UpdatePreviewVisibility();
            break;
        default:
            break;
    }
    return ui::CHorizontalLayoutUI::event(event);
}

bool CDevicePageUI::eventFilter(QObject* watched, QEvent* event) {
    if (watched == watchedWindow_.data() && event->type() == QEvent::WindowStateChange) {
        UpdatePreviewVisibility();
    }
    return ui::CHorizontalLayoutUI::eventFilter(watched, event);
}

void CDevicePageUI::UpdatePreviewVisibility() {
    if (!device_) return;
    QWidget* top = window();
    if (top != watchedWindow_.data()) {
        if (watchedWindow_) watchedWindow_->removeEventFilter(this);
        watchedWindow_ = top != this ? top : nullptr;
        if (watchedWindow_) watchedWindow_->installEventFilter(this);
    }
    const bool visible = isVisible() && !top->isMinimized();
    if (visible != device_->PreviewVisible()) device_->SetPreviewVisible(visible);
}

ui::CDeviceKeyButtonUI* CDevicePageUI::KeyButton(int key) const {
    return key >= 0 && key < keyButtons_.size() ? keyButtons_[key] : nullptr;
}

ui::CDeviceKeyButtonUI* CDevicePageUI::Light(int light) const {
    return light >= 0 && light < lights_.size() ? lights_[light] : nullptr;
}

void CDevicePageUI::Notify(const ui::Notification& msg) {
    if (!msg.sender) return;
    const QString name = msg.SenderName();
    if (name.isEmpty() || ui::FindSubControlByName(this, name) != msg.sender) return;
    qCDebug(lcDevicePage) << "own notification" << msg.type << name;
    pump_.LoopDispatch(msg);
}

void CDevicePageUI::MapKeyButtons(int keyButtonCount, int lightCount) {
    keyButtons_.fill(nullptr, std::max(keyButtonCount, 0));
    lights_.fill(nullptr, std::max(lightCount, 0));
    selectPanel_ = FirstSelectPanel(this);
    if (selectPanel_ == nullptr) return;

    const QList<QWidget*> children =
        selectPanel_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    QString prefix;
    int number = 0;
    for (QWidget* child : children) {
        auto* button = qobject_cast<ui::CDeviceKeyButtonUI*>(child);
        if (button == nullptr) continue;
        if (SplitIndexed(button->objectName(), &prefix, &number) &&
            prefix.compare(QLatin1String("key_"), Qt::CaseInsensitive) == 0 && number >= 0 &&
            number < keyButtons_.size()) {
            keyButtons_[number] = button;
        }
        if (SplitIndexed(button->GetUserData(), &prefix, &number) &&
            prefix.compare(QLatin1String("light_"), Qt::CaseInsensitive) == 0 && number >= 0 &&
            number < lights_.size()) {
            lights_[number] = button;
            button->SetKeyLight(kWhite, kFullLevel, 1);
        }
    }
    selectPanel_->update();
}

QString CDevicePageUI::KeyLabelOf(int key) const {
    const ui::CDeviceKeyButtonUI* button = KeyButton(key);
    return button != nullptr ? button->property(kKeyLabelProperty).toString() : QString();
}

bool CDevicePageUI::HasKeyButton(int key) const { return KeyButton(key) != nullptr; }

bool CDevicePageUI::HasLight(int light) const { return Light(light) != nullptr; }

}  // namespace rerov
