// The power display: what a power status block shows.

#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <vector>

#include "controls/control_lookup.h"
#include "controls/language_texts.h"
#include "controls/layout_builder.h"
#include "controls/skin_setup.h"
#include "shell/mp_device_power_ui.h"

namespace rerov::shell {
namespace {

std::unique_ptr<CMpDevicePowerUI> BuildPower(int kind) {
    ui::LayoutBuilder builder;
    auto* power = qobject_cast<CMpDevicePowerUI*>(builder.Create(
        QStringLiteral("XML\\CustomControlXML\\MpDevicePower.xml"), nullptr, nullptr));
    if (power != nullptr) power->SetKindRole(kind, 0);
    return std::unique_ptr<CMpDevicePowerUI>(power);
}

ui::CControlUI* Sub(QWidget* root, const char* name) {
    return qobject_cast<ui::CControlUI*>(ui::FindSubControlByName(root, QLatin1String(name)));
}

struct PowerCase {
    const char* what;
    int kind;
    std::vector<uint8_t> block;
    const char* text;
    int progress;
    bool progressShown;
    bool logoShown;
    const char* statusImage;
};

class PowerStatus : public ::testing::TestWithParam<PowerCase> {};

TEST_P(PowerStatus, ShowsLevelChargeStateAndWirelessLogo) {
    const PowerCase& c = GetParam();
    auto power = BuildPower(c.kind);
    ASSERT_NE(power, nullptr);
    power->show();
    power->ShowPowerStatus(c.block.data(), c.block.size());
    EXPECT_EQ(Sub(power.get(), "device_power_value")->GetText(), QString::fromUtf8(c.text));
    auto* bar = qobject_cast<ui::CProgressUI*>(Sub(power.get(), "device_Power_progress"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetValue(), c.progress);
    EXPECT_EQ(!bar->isHidden(), c.progressShown);
    EXPECT_EQ(!Sub(power.get(), "device_wuxian_logo")->isHidden(), c.logoShown);
    EXPECT_EQ(Sub(power.get(), "device_power_status")->GetBkImage(),
              QString::fromLatin1(c.statusImage));
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, PowerStatus,
    ::testing::Values(
        // A keyboard on the receiver that charges: no level bar, wireless logo, charging.
        PowerCase{"charging_on_receiver",
                  1,
                  {87, 1, 0, 1, 0, 0},
                  "87%",
                  13,
                  false,
                  true,
                  "file='power/powering.png'"},
        PowerCase{"charging_by_cable",
                  1,
                  {40, 1, 0, 0, 0, 0},
                  "40%",
                  60,
                  true,
                  false,
                  "file='power/powering.png'"},
        PowerCase{"powered_mouse",
                  2,
                  {100, 0, 0, 0, 0, 0},
                  "100%",
                  0,
                  true,
                  false,
                  "file='power/powered.png'"},
        PowerCase{"battery_mouse_on_receiver",
                  2,
                  {5, 2, 0, 9, 0, 0},
                  "5%",
                  95,
                  true,
                  true,
                  "file='power/power.png'"},
        // An unknown charge state leaves the bar (hidden until a known state) and the
        // picture alone; a short block reads as zeros.
        PowerCase{"unknown_charge_state", 1, {60, 7}, "60%", 40, false, false, ""},
        // Only keyboards and mice show the wireless logo.
        PowerCase{"pad_never_shows_logo",
                  3,
                  {50, 2, 0, 1, 0, 0},
                  "50%",
                  50,
                  true,
                  false,
                  "file='power/power.png'"}),
    [](const ::testing::TestParamInfo<PowerCase>& info) { return std::string(info.param.what); });

struct PhoneCase {
    uint8_t type;
    const char* key;
};

TEST(PowerStatus, MousePadShowsThePhoneLyingOnIt) {
    ui::ApplyLanguage(
        QStringLiteral("lan_en.xml"));  // the texts the window starts with here (English)
    const PhoneCase cases[] = {{1, "Phone_type_iphone"},
                               {2, "Phone_type_samsung"},
                               {3, "Phone_type_other"},
                               {0, "Phone_type_no_device"},
                               {7, "Phone_type_no_device"}};
    for (const PhoneCase& c : cases) {
        SCOPED_TRACE(c.type);
        auto pad = BuildPower(3);
        ASSERT_NE(pad, nullptr);
        const uint8_t block[6] = {80, 0, 0, 0, 0, c.type};
        pad->ShowPowerStatus(block, sizeof block);
        ui::CControlUI* phone = Sub(pad.get(), "device_phone_type");
        EXPECT_EQ(phone->GetBkImage(), QStringLiteral("file='power/%1.png'").arg(c.key));
        EXPECT_TRUE(ui::LanguageTexts::Instance().Has(QLatin1String(c.key)));
        EXPECT_EQ(phone->toolTip(), ui::Tr(QLatin1String(c.key)));
    }
}

TEST(PowerStatus, KeyboardIgnoresThePhoneByte) {
    auto power = BuildPower(1);
    ASSERT_NE(power, nullptr);
    const uint8_t block[6] = {80, 0, 0, 0, 0, 1};
    power->ShowPowerStatus(block, sizeof block);
    EXPECT_TRUE(Sub(power.get(), "device_phone_type")->GetBkImage().isEmpty());
}

TEST(PowerStatus, LongBlockIsCutAndNullBlockReadsAsZero) {
    auto power = BuildPower(1);
    ASSERT_NE(power, nullptr);
    std::vector<uint8_t> big(4096, 0);
    big[0] = 33;
    big[1] = 2;
    power->ShowPowerStatus(big.data(), big.size());
    EXPECT_EQ(Sub(power.get(), "device_power_value")->GetText(), QStringLiteral("33%"));
    power->ShowPowerStatus(nullptr, 6);
    EXPECT_EQ(Sub(power.get(), "device_power_value")->GetText(), QStringLiteral("0%"));
    EXPECT_EQ(Sub(power.get(), "device_power_status")->GetBkImage(),
              QStringLiteral("file='power/powered.png'"));
}

TEST(PowerStatus, MissingControlShowsNothing) {
    auto power = BuildPower(1);
    ASSERT_NE(power, nullptr);
    delete ui::FindSubControlByName(power.get(), QStringLiteral("device_phone_type"));
    const uint8_t block[6] = {87, 1, 0, 1, 0, 0};
    power->ShowPowerStatus(block, sizeof block);
    EXPECT_TRUE(Sub(power.get(), "device_power_value")->GetText().isEmpty());
    EXPECT_TRUE(Sub(power.get(), "device_power_status")->GetBkImage().isEmpty());
    EXPECT_TRUE(Sub(power.get(), "device_Power_progress")->isHidden());
}

TEST(PowerStatus, PowerLayoutFollowsTheFlag) {
    auto power = BuildPower(2);
    ASSERT_NE(power, nullptr);
    QWidget* layout = ui::FindSubControlByName(power.get(), QStringLiteral("device_power_Layout"));
    ASSERT_NE(layout, nullptr);
    power->ShowPowerLayout(false);
    EXPECT_TRUE(layout->isHidden());
    power->ShowPowerLayout(true);
    EXPECT_FALSE(layout->isHidden());
}

}  // namespace
}  // namespace rerov::shell
