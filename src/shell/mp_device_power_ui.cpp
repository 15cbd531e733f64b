#include "shell/mp_device_power_ui.h"

#include <QPainter>
#include <algorithm>
#include <array>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::shell {
namespace {

constexpr size_t kBlockSize = 64;

enum ChargeState : uint8_t { kPowered = 0, kCharging = 1, kOnBattery = 2 };

struct ChargePicture {
    uint8_t state;
    const char* image;
};
constexpr ChargePicture kChargePictures[] = {
    {kPowered, "file='power/powered.png'"},
    {kCharging, "file='power/powering.png'"},
    {kOnBattery, "file='power/power.png'"},
};

struct PhonePicture {
    uint8_t type;  // 0: any type not listed
    const char* textKey;
    const char* image;
};
constexpr PhonePicture kPhonePictures[] = {
    {1, "Phone_type_iphone", "file='power/Phone_type_iphone.png'"},
    {2, "Phone_type_samsung", "file='power/Phone_type_samsung.png'"},
    {3, "Phone_type_other", "file='power/Phone_type_other.png'"},
    {0, "Phone_type_no_device", "file='power/Phone_type_no_device.png'"},
};

void SetControlBkImage(QWidget* control, const QString& image) {
    if (auto* c = qobject_cast<ui::CControlUI*>(control)) c->SetBkImage(image);
}

}  // namespace

void CPowerBarUI::PaintForeColor(QPainter& painter, const QRect&) {
    if (max_ <= min_) return;
    const QRect body = BodyRect();
    const double part = std::clamp(double(value_ - min_) / double(max_ - min_), 0.0, 1.0);
    const int w = int(body.width() * part);
    ui::render::DrawColor(painter, QRect(body.right() + 1 - w, 0, w, height()),
                          GetAdjustColor(foreColor_));
}

void CPowerBarUI::PaintBkColor(QPainter& painter, const QRect&) {
    ui::render::DrawColor(painter, BodyRect(), GetAdjustColor(bkColor_));
}

void CPowerBarUI::PaintBorder(QPainter& painter, const QRect&) {
    // The battery outline and its terminal on the right.
    const QRect body = BodyRect();
    if (borderSize_ > 0) ui::render::DrawRect(painter, body, borderSize_, borderColor_);
    const int nubHeight = std::max(2, height() / 3);
    ui::render::DrawColor(painter,
                          QRect(body.right() + 1, (height() - nubHeight) / 2, kNubWidth, nubHeight),
                          borderColor_);
}

QRect CPowerBarUI::BodyRect() const {
    return QRect(0, 0, std::max(0, width() - kNubWidth), height());
}

void CMpDevicePowerUI::SetKindRole(int kind, int role) {
    kind_ = kind;
    role_ = role;
}

QWidget* CMpDevicePowerUI::Sub(QPointer<QWidget>* cache, const char* name) {
    if (cache->isNull()) *cache = ui::FindSubControlByName(this, QString::fromLatin1(name));
    return cache->data();
}

void CMpDevicePowerUI::ShowPowerLayout(bool show) {
    if (QWidget* layout = Sub(&powerLayout_, "device_power_Layout")) layout->setVisible(show);
}

void CMpDevicePowerUI::ShowPowerStatus(const uint8_t* block, size_t length) {
    std::array<uint8_t, kBlockSize> b{};
    if (block != nullptr) std::copy_n(block, std::min(length, kBlockSize), b.begin());

    QWidget* value = Sub(&value_, "device_power_value");
    QWidget* logo = Sub(&wirelessLogo_, "device_wuxian_logo");
    QWidget* progress = Sub(&progress_, "device_Power_progress");
    QWidget* status = Sub(&status_, "device_power_status");
    QWidget* phone = Sub(&phoneType_, "device_phone_type");
    if (value == nullptr || logo == nullptr || progress == nullptr || status == nullptr ||
        phone == nullptr) {
        return;
    }

    const int level = b[0];
    if (auto* bar = qobject_cast<ui::CProgressUI*>(progress)) bar->SetValue(100 - level);
    if (auto* label = qobject_cast<ui::CControlUI*>(value)) {
        label->SetText(QString::asprintf("%d%s", level, "%"));
    }

    const bool wireless = b[3] != 0;
    if (kind_ == 1 || kind_ == 2) logo->setVisible(wireless);

    for (const ChargePicture& picture : kChargePictures) {
        if (picture.state != b[1]) continue;
        // A charging device on the receiver reports no useful level.
        progress->setVisible(!(picture.state == kCharging && wireless));
        SetControlBkImage(status, QString::fromLatin1(picture.image));
    }

    if (kind_ == 3) {
        const PhonePicture* chosen = &kPhonePictures[std::size(kPhonePictures) - 1];
        for (const PhonePicture& picture : kPhonePictures) {
            if (picture.type != 0 && picture.type == b[5]) chosen = &picture;
        }
        ui::LanguageTexts::BindText(phone, "toolTip", QString::fromLatin1(chosen->textKey));
        SetControlBkImage(phone, QString::fromLatin1(chosen->image));
    }
}

bool CMpDevicePowerUI::Activate() {
    if (!ui::CHorizontalLayoutUI::Activate()) return false;
    ui::SendNotify(this, ui::notify_type::kSelectChanged);
    return true;
}

}  // namespace rerov::shell
