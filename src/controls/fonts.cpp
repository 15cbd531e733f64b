#include "controls/fonts.h"

#include <QCoreApplication>
#include <QFontDatabase>

namespace rerov::ui {
namespace {
// Loaded in this order; later files are only fall-backs for scripts the first ones lack.
constexpr const char* kFontFiles[] = {
    "Simplified_Chinese.ttf",
    "Gravon-Regular.otf",
    "NotoSansThai-Regular.ttf",
    "NotoSansCJKtc-Regular.otf",
};
}  // namespace

QStringList LoadPrivateFonts(const QString& dir) {
    QStringList families;
    for (const char* file : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(dir + u'/' + QLatin1String(file));
        if (id >= 0) families += QFontDatabase::applicationFontFamilies(id);
    }
    return families;
}

QString DefaultFontDir() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Font");
}

}  // namespace rerov::ui
