#include "controls/skin_setup.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFont>
#include <QPointer>
#include <QWidget>

#include "controls/content_scale.h"
#include "controls/control_base.h"
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
    AnnounceLanguage();
    return true;
}

namespace {
// The open top-level widgets, guarded: a handler may close (and delete) a window.
QList<QPointer<QWidget>> TopLevelWidgets() {
    QList<QPointer<QWidget>> tops;
    for (QWidget* top : QApplication::topLevelWidgets()) tops.append(top);
    return tops;
}
}  // namespace

void AnnounceLanguage() {
    const QList<QPointer<QWidget>> tops = TopLevelWidgets();
    for (const QPointer<QWidget>& top : tops) {
        if (top) LanguageTexts::Retranslate(top);
    }
    for (const QPointer<QWidget>& top : tops) {
        if (!top) continue;
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(top, &change);
    }
}

void ApplyFontFaces(const QStringList& faces) {
    // The faces the program had before any language chose one: its own font.
    static const QStringList ownFaces = QApplication::font().families();
    QStringList families;
    for (const QStringList& part : {faces, ownFaces, QStringList{QStringLiteral("DejaVu Sans")}}) {
        for (const QString& face : part) {
            if (!face.isEmpty() && !families.contains(face)) families << face;
        }
    }
    QFont font = QApplication::font();
    font.setFamilies(families);
    QApplication::setFont(font);
    // Widgets under the style sheet keep the font it resolved for them until they are
    // polished again.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        if (!app->styleSheet().isEmpty()) app->setStyleSheet(app->styleSheet());
    }
    for (const QPointer<QWidget>& top : TopLevelWidgets()) {
        if (!top) continue;
        if (auto* control = qobject_cast<CControlUI*>(top.data())) control->RefreshFont();
        for (CControlUI* control : top->findChildren<CControlUI*>()) control->RefreshFont();
    }
}

}  // namespace rerov::ui
