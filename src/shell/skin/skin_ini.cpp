#include "shell/skin/skin_ini.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QSettings>

#include "controls/render_engine.h"
#include "profiles/profile_folders.h"

Q_LOGGING_CATEGORY(lcSkinIni, "rerov.skin.ini", QtWarningMsg)

namespace rerov::shell {
namespace {

constexpr const char* kSection = "SKINIMAGE";
constexpr const char* kFlagsKey = "SKINIMAGE/FLAGS";
constexpr const char* kImageKey = "SKINIMAGE/IMAGE";
constexpr const char* kColourKey = "SKINIMAGE/COLOR";

bool Commit(QSettings& settings) {
    settings.sync();
    if (settings.status() == QSettings::NoError) return true;
    qCWarning(lcSkinIni, "cannot write %s (status %d)", qPrintable(settings.fileName()),
              int(settings.status()));
    return false;
}

// True when `path` is `folder` itself or lies below it (both already canonical).
bool IsInside(const QString& path, const QString& folder) {
    if (folder.isEmpty()) return false;
    return path.startsWith(folder + u'/');
}

// The stored name with '/' between folders (a file written on Windows has '\\').
QString Normalised(const QString& image) { return QString(image).replace(u'\\', u'/'); }

// Whether the image's header can be read: the file is an image of a known format.
bool Decodes(const QString& path) {
    QImageReader reader(path);
    return reader.canRead() && reader.size().isValid();
}

}  // namespace

QString SkinIniPath() {
    const std::filesystem::path folder = ProductUserFolder();
    if (folder.empty()) return {};
    return QDir(QString::fromStdU16String(folder.u16string())).filePath(QStringLiteral("main.ini"));
}

bool WriteSkinImage(const QString& iniPath, int flags, const QString& image) {
    if (iniPath.isEmpty()) return false;
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setValue(QLatin1String(kFlagsKey), QString::number(flags));
    settings.setValue(QLatin1String(kImageKey), image);
    settings.remove(QLatin1String(kColourKey));
    return Commit(settings);
}

bool WriteSkinColour(const QString& iniPath, quint32 argb) {
    if (iniPath.isEmpty()) return false;
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.setValue(QLatin1String(kFlagsKey), QString::number(kSkinFlagColour));
    settings.setValue(QLatin1String(kColourKey),
                      QStringLiteral("#%1").arg(argb, 8, 16, QLatin1Char('0')).toUpper());
    return Commit(settings);
}

QString ResolveStoredImage(const QString& image, const SkinSources& sources) {
    if (image.isEmpty()) return {};
    const QString name = Normalised(image);
    if (QDir::isAbsolutePath(name)) {
        // Only the copy of the user's own image: nothing else of the disk is shown.
        const QString folder = QFileInfo(sources.userImageDir).canonicalFilePath();
        const QString file = QFileInfo(name).canonicalFilePath();
        return !file.isEmpty() && IsInside(file, folder) ? file : QString();
    }
    if (name.split(u'/').contains(QStringLiteral("..")) || name.contains(u':')) return {};
    const QString folder = QFileInfo(sources.skinDir).canonicalFilePath();
    const QString file = QFileInfo(QDir(sources.skinDir).filePath(name)).canonicalFilePath();
    return !file.isEmpty() && IsInside(file, folder) ? file : QString();
}

std::optional<SkinChangedParam> ReadStoredSkin(const QString& iniPath, const SkinSources& sources) {
    if (iniPath.isEmpty() || !QFileInfo::exists(iniPath)) return std::nullopt;
    QSettings settings(iniPath, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcSkinIni, "%s cannot be read (status %d); the layout's background stays",
                  qPrintable(iniPath), int(settings.status()));
        return std::nullopt;
    }
    if (!settings.childGroups().contains(QLatin1String(kSection))) return std::nullopt;
    bool ok = false;
    const int flags = settings.value(QLatin1String(kFlagsKey)).toString().trimmed().toInt(&ok);
    if (!ok) {
        qCWarning(lcSkinIni, "%s: FLAGS is not a number; the layout's background stays",
                  qPrintable(iniPath));
        return std::nullopt;
    }
    SkinChangedParam param;
    if (flags == kSkinFlagColour) {
        quint32 argb = 0;
        if (!ui::render::ParseColor(settings.value(QLatin1String(kColourKey)).toString(), &argb)) {
            qCWarning(lcSkinIni, "%s: COLOR is not a colour", qPrintable(iniPath));
            return std::nullopt;
        }
        param.isColour = true;
        param.colour = argb;
        return param;
    }
    if (flags != kSkinFlagDefault && flags != kSkinFlagImage) {
        qCWarning(lcSkinIni, "%s: unknown FLAGS %d", qPrintable(iniPath), flags);
        return std::nullopt;
    }
    const QString image = settings.value(QLatin1String(kImageKey)).toString();
    const QString file = ResolveStoredImage(image, sources);
    if (file.isEmpty()) {
        qCWarning(lcSkinIni, "%s: IMAGE \"%s\" is no background the program may show",
                  qPrintable(iniPath), qPrintable(image));
        return std::nullopt;
    }
    if (!Decodes(file)) {
        qCWarning(lcSkinIni, "%s: IMAGE \"%s\" is not an image", qPrintable(iniPath),
                  qPrintable(image));
        return std::nullopt;
    }
    // A file of the skin folder keeps its relative name, as the frame's buttons give it.
    const QString name = Normalised(image);
    param.image = QDir::isAbsolutePath(name) ? file : name;
    return param;
}

}  // namespace rerov::shell
