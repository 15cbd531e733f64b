#include "controls/private_fonts.h"

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

QStringList FontFilePaths(const QString& dir) {
    QStringList paths;
    if (dir.isEmpty()) return paths;
    for (const char* file : kFontFiles) paths << dir + u'/' + QLatin1String(file);
    return paths;
}

QStringList PrivateFonts::Load(const QString& dir) {
    QStringList families;
    for (const QString& path : FontFilePaths(dir)) {
        const int id = QFontDatabase::addApplicationFont(path);
        if (id < 0) continue;
        ids_.append(id);
        families += QFontDatabase::applicationFontFamilies(id);
    }
    return families;
}

void PrivateFonts::Release() {
    while (!ids_.isEmpty()) QFontDatabase::removeApplicationFont(ids_.takeLast());
}

QString DefaultFontDir() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Font");
}

}  // namespace rerov::ui
