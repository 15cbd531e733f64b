// The four page layouts of the skin: the keyboard picture follows the key matrix with keys
// sized as on a full keyboard and labelled by their names; the other pictures show their
// lights. The keyboard page is also rendered to a PNG for people to look at.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "controls/device_key_button.h"
#include "controls/select_panel.h"
#include "devices/family_devices.h"
#include "devices/pages/device_page.h"
#include "tests/devices/family_page_support.h"

namespace rerov {
namespace {

using testing::BuildFamilyPage;
using testing::LayOut;

// Light index of the key in column c (left to right) and row r (top to bottom); 170: none.
constexpr int kKeyMatrix[23][6] = {
    {170, 120, 121, 122, 123, 124}, {170, 21, 42, 63, 84, 105},  {0, 22, 43, 64, 102, 106},
    {1, 23, 44, 65, 85, 135},       {2, 24, 45, 66, 86, 107},    {3, 25, 46, 67, 87, 126},
    {4, 26, 47, 68, 88, 127},       {133, 27, 48, 69, 89, 108},  {5, 28, 49, 70, 90, 128},
    {6, 29, 50, 71, 91, 129},       {7, 30, 51, 72, 92, 109},    {8, 31, 52, 73, 93, 125},
    {9, 32, 53, 74, 94, 110},       {10, 33, 54, 62, 100, 111},  {11, 34, 55, 75, 134, 130},
    {12, 101, 103, 79, 95, 112},    {13, 35, 56, 82, 80, 113},   {14, 36, 57, 83, 96, 114},
    {15, 37, 58, 132, 81, 115},     {17, 38, 59, 76, 97, 116},   {18, 39, 60, 77, 98, 104},
    {19, 40, 61, 78, 99, 117},      {20, 41, 16, 119, 118, 131},
};
// Keys from this light index on have no light and no button.
constexpr int kFirstUnlit = 126;
// The page area of the fitted main window at 96 DPI.
constexpr QSize kPageArea(1000, 519);

// Where `widget` sits in `page`'s coordinates.
QRect InPage(const QWidget* widget, const QWidget* page) {
    return QRect(widget->mapTo(page, QPoint(0, 0)), widget->size());
}

std::vector<ui::CDeviceKeyButtonUI*> PanelButtons(const CDevicePageUI& page) {
    std::vector<ui::CDeviceKeyButtonUI*> buttons;
    if (page.SelectPanel() == nullptr) return buttons;
    for (QObject* child : page.SelectPanel()->children()) {
        if (auto* button = qobject_cast<ui::CDeviceKeyButtonUI*>(child)) buttons.push_back(button);
    }
    return buttons;
}

void ExpectNoOverlapInsidePanel(const CDevicePageUI& page) {
    const std::vector<ui::CDeviceKeyButtonUI*> buttons = PanelButtons(page);
    const QRect panel = page.SelectPanel()->rect();
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_TRUE(panel.contains(buttons[i]->geometry()))
            << buttons[i]->objectName().toStdString() << " leaves the picture";
        for (size_t j = i + 1; j < buttons.size(); ++j) {
            EXPECT_FALSE(buttons[i]->geometry().intersects(buttons[j]->geometry()))
                << buttons[i]->objectName().toStdString() << " overlaps "
                << buttons[j]->objectName().toStdString();
        }
    }
}

TEST(DeviceLayoutsKeyboard, EveryMatrixKeyOnceAsKeyAndLight) {
    std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(kFamilyKeyboard);
    ASSERT_NE(page->SelectPanel(), nullptr);
    EXPECT_EQ(page->SelectPanel()->objectName(), "keyboard_device_key_light");

    std::map<QString, int> names;
    for (ui::CDeviceKeyButtonUI* button : PanelButtons(*page)) ++names[button->objectName()];
    int matrixKeys = 0;
    for (const auto& column : kKeyMatrix) {
        for (int index : column) {
            if (index >= kFirstUnlit) continue;
            ++matrixKeys;
            const QString name = QStringLiteral("key_%1").arg(index);
            EXPECT_EQ(names[name], 1) << name.toStdString();
            ASSERT_NE(page->KeyButton(index), nullptr) << index;
            EXPECT_EQ(page->Light(index), page->KeyButton(index)) << index;
            EXPECT_EQ(page->Light(index)->GetLightOn(), 1) << index;
        }
    }
    // No button that the matrix does not hold.
    EXPECT_EQ(PanelButtons(*page).size(), static_cast<size_t>(matrixKeys));
    EXPECT_EQ(page->KeyButton(kFirstUnlit), nullptr);
}

TEST(DeviceLayoutsKeyboard, KeysSitInTheirMatrixColumnsAndRows) {
    std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(kFamilyKeyboard);
    ExpectNoOverlapInsidePanel(*page);
    // Left to right along every row, top to bottom down every column.
    for (int row = 0; row < 6; ++row) {
        int previousRight = -1;
        for (int column = 0; column < 23; ++column) {
            const int index = kKeyMatrix[column][row];
            if (index >= kFirstUnlit) continue;
            const QRect key = page->KeyButton(index)->geometry();
            EXPECT_GT(key.left(), previousRight) << "row " << row << " column " << column;
            previousRight = key.right();
        }
    }
    for (int column = 0; column < 23; ++column) {
        int previousBottom = -1;
        for (int row = 0; row < 6; ++row) {
            const int index = kKeyMatrix[column][row];
            if (index >= kFirstUnlit) continue;
            const QRect key = page->KeyButton(index)->geometry();
            EXPECT_GT(key.top(), previousBottom) << "row " << row << " column " << column;
            previousBottom = key.bottom();
        }
    }
}

TEST(DeviceLayoutsKeyboard, KeysSizedAsOnAFullKeyboard) {
    std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(kFamilyKeyboard);
    const QRect letter = page->KeyButton(64)->geometry();  // A
    struct Wide {
        int index;
        double minimumUnits;
        const char* name;
    };
    const Wide wide[] = {{108, 5.5, "Space"}, {95, 2.5, "right Shift"}, {34, 1.9, "Backspace"},
                         {42, 1.4, "Tab"},    {63, 1.7, "Caps Lock"},   {84, 1.2, "left Shift"},
                         {75, 1.2, "Enter"},  {105, 1.2, "left Ctrl"}};
    const double unit = letter.width() + 2;  // pitch of a one-unit key
    for (const Wide& key : wide) {
        EXPECT_GE(page->KeyButton(key.index)->width() + 2, key.minimumUnits * unit) << key.name;
    }
    // Keypad Enter spans two rows; ordinary keys are square.
    EXPECT_GE(page->KeyButton(118)->height(), 2 * letter.height());
    EXPECT_EQ(letter.width(), letter.height());
    // The picture is designed as wide as a keyboard; the page scales it to its room.
    EXPECT_GE(page->SelectPanel()->width(), 540);
}

struct LabelCase {
    int index;
    const char* nameKey;
    const char* label;
};

TEST(DeviceLayoutsKeyboard, LabelsAreTheKeyNames) {
    const LabelCase cases[] = {
        {0, "keyboard_key_Esc", "Esc"},
        {1, "keyboard_key_F1", "F1"},
        {12, "keyboard_key_F12", "12"},
        {16, "keyboard_key_GM", "G"},
        {17, "keyboard_key_Launch App2", "Ca"},
        {19, "keyboard_key_Volume Down", "V\u25be"},
        {21, "keyboard_key_`", "`"},
        {31, "keyboard_key_0", "0"},
        {34, "keyboard_key_BackSpace", "Bksp"},
        {55, "keyboard_key_xiegang", "\\"},
        {62, "keyboard_key_K42", "#"},
        {64, "keyboard_key_A", "A"},
        {79, "keyboard_key_K132", "Hk"},
        {84, "keyboard_key_LShift", "\u21e7"},
        {92, "keyboard_key_<", ","},
        {102, "keyboard_key_K45", "\\"},
        {104, "", ""},  // its factory code names no key
        {108, "keyboard_key_Space", ""},
        {110, "keyboard_key_FN", "Fn"},
        {111, "keyboard_key_App", "\u2261"},
        {116, "keyboard_key_Num 0", "0"},
        {118, "keyboard_key_Num Enter", "\u21b5"},
        {120, "keyboard_key_M1", "M1"},
        {124, "keyboard_key_M5", "M5"},
        {125, "keyboard_key_RWin", "\u229e"},
    };
    std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(kFamilyKeyboard);
    for (const LabelCase& c : cases) {
        ui::CDeviceKeyButtonUI* key = page->KeyButton(c.index);
        ASSERT_NE(key, nullptr) << c.index;
        EXPECT_EQ(key->property("_namekey").toString(), QString::fromUtf8(c.nameKey)) << c.index;
        EXPECT_EQ(key->GetText(), QString::fromUtf8(c.label)) << c.index;
    }
    // Every other key resolves to a name as well, shown in full as its tooltip.
    for (ui::CDeviceKeyButtonUI* key : PanelButtons(*page)) {
        if (key->objectName() == QLatin1String("key_104")) continue;
        EXPECT_TRUE(key->property("_namekey").toString().startsWith(QLatin1String("keyboard_key_")))
            << key->objectName().toStdString();
        EXPECT_FALSE(key->toolTip().isEmpty()) << key->objectName().toStdString();
    }
}

struct FamilyLayoutCase {
    int family;
    const char* panel;
    int keys;
    int lights;
};

TEST(DeviceLayoutsFamilies, PicturesShowEveryLightAndButton) {
    const FamilyLayoutCase cases[] = {
        {kFamilyMouse, "mouse_device_key_light", 11, 15},
        {kFamilyMousePad, "mousepad_device_key_light", 0, 15},
        {kFamilyHeadset, "ri6533_device_key_light", 0, 13},
    };
    for (const FamilyLayoutCase& c : cases) {
        SCOPED_TRACE(c.panel);
        std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(c.family);
        ASSERT_NE(page->SelectPanel(), nullptr);
        EXPECT_EQ(page->SelectPanel()->objectName(), c.panel);
        for (int key = 0; key < c.keys; ++key) EXPECT_NE(page->KeyButton(key), nullptr) << key;
        for (int light = 0; light < c.lights; ++light) {
            EXPECT_NE(page->Light(light), nullptr) << light;
        }
        EXPECT_EQ(page->Light(c.lights), nullptr);
        ExpectNoOverlapInsidePanel(*page);
    }
}

TEST(DeviceLayoutsRender, KeyboardPageToPng) {
    std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(kFamilyKeyboard);
    LayOut(*page, kPageArea);
    CZidiraUSBDevice& device = page->Device();
    // A colour sweep over the columns, so the picture shows lit keys as the preview would.
    for (int column = 0; column < 23; ++column) {
        for (int row = 0; row < 6; ++row) {
            const int light = kKeyMatrix[column][row];
            if (light >= kFirstUnlit) continue;
            const int hue = column * 15;
            const QColor colour = QColor::fromHsv(hue, 255, 255);
            device.SetLightColor(
                light, 0xFF000000u | (colour.blue() << 16) | (colour.green() << 8) | colour.red());
        }
    }
    device.StreamLightFrame();
    const QImage image = page->grab().toImage();
    ASSERT_FALSE(image.isNull());
    const QString path = QDir(QStringLiteral(REROV_DEVICE_PNG_DIR)).filePath("keyboard_page.png");
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    // The Esc key (orange end of the sweep) is lit: red outweighs blue over its face.
    const QRect esc = InPage(page->KeyButton(0), page.get());
    long red = 0;
    long blue = 0;
    for (int y = esc.top(); y <= esc.bottom(); ++y) {
        for (int x = esc.left(); x <= esc.right(); ++x) {
            red += image.pixelColor(x, y).red();
            blue += image.pixelColor(x, y).blue();
        }
    }
    EXPECT_GT(red, 2 * blue) << "Esc is not lit";
}

TEST(DeviceLayoutsRender, OtherFamiliesToPng) {
    const std::pair<int, const char*> families[] = {{kFamilyMouse, "mouse_page.png"},
                                                    {kFamilyMousePad, "mousepad_page.png"},
                                                    {kFamilyHeadset, "headset_page.png"}};
    for (const auto& [family, file] : families) {
        std::unique_ptr<CDevicePageUI> page = BuildFamilyPage(family);
        LayOut(*page, kPageArea);
        CZidiraUSBDevice& device = page->Device();
        for (int light = 0; light < device.LightCount(); ++light) {
            const QColor colour = QColor::fromHsv(light * 360 / device.LightCount(), 255, 255);
            device.SetLightColor(
                light, 0xFF000000u | (colour.blue() << 16) | (colour.green() << 8) | colour.red());
        }
        device.StreamLightFrame();
        const QImage image = page->grab().toImage();
        const QString path = QDir(QStringLiteral(REROV_DEVICE_PNG_DIR)).filePath(file);
        EXPECT_TRUE(image.save(path)) << path.toStdString();
        // Light 0 is red: its face shows more red than blue.
        const QRect light = InPage(page->Light(0), page.get());
        const QColor centre = image.pixelColor(light.center());
        EXPECT_GT(centre.red(), centre.blue()) << file;
    }
}

}  // namespace
}  // namespace rerov
