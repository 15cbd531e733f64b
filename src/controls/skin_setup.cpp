#include "controls/skin_setup.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QWidget>

#include "controls/content_scale.h"
#include "controls/control_factory.h"
#include "controls/language_texts.h"
#include "controls/private_fonts.h"
#include "controls/resource_index.h"

namespace rerov::ui {
namespace {
// The skin's sheet as designed (96 DPI) and the scale it is applied at.
struct SkinSheet {
    QString design;
    qreal scale = 1.0;
};
SkinSheet& Sheet() {
    static SkinSheet sheet;
    return sheet;
}
}  // namespace

bool SetUpSkin(QApplication& app, const QString& skinDir, const QString& fontDir,
               PrivateFonts& fonts) {
    if (!ResourceIndex::Instance().SetSkinDir(skinDir)) return false;
    RegisterCustomControls();
    const QStringList families = fonts.Load(fontDir);
    QFont font(families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first());
    font.setPixelSize(14);
    QApplication::setFont(font);
    QFile qss(ResourceIndex::Instance().SkinPath(QStringLiteral("style.qss")));
    if (!qss.open(QIODevice::ReadOnly)) return false;
    QString sheet = QString::fromUtf8(qss.readAll());
    // Image urls in the sheet are relative to the skin folder.
    sheet.replace(QStringLiteral("url(skin:"),
                  QStringLiteral("url(") + ResourceIndex::Instance().SkinDir() + u'/');
    Sheet() = SkinSheet{sheet, 1.0};
    app.setStyleSheet(sheet);
    return true;
}

void ApplySkinScale(qreal scale) {
    SkinSheet& sheet = Sheet();
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr || sheet.design.isEmpty() || !(scale > 0) || scale == sheet.scale) return;
    sheet.scale = scale;
    app->setStyleSheet(ScaleStyleSheet(sheet.design, scale));
}

bool ApplyLanguage(const QString& file) {
    if (!LanguageTexts::Instance().Load(file)) return false;
    for (QWidget* top : QApplication::topLevelWidgets()) LanguageTexts::Retranslate(top);
    return true;
}

}  // namespace rerov::ui
