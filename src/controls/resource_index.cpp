#include "controls/resource_index.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

#include "controls/image_cache.h"

namespace rerov::ui {
namespace {
QString NormalName(const QString& name) {
    QString n = name;
    n.replace(u'\\', u'/');
    return n.toLower();
}
}  // namespace

ResourceIndex& ResourceIndex::Instance() {
    static ResourceIndex instance;
    return instance;
}

QString DefaultSkinDir() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/skin");
}

bool ResourceIndex::SetSkinDir(const QString& dir) {
    const QFileInfo info(dir);
    if (!info.isDir()) return false;
    skinDir_ = info.absoluteFilePath();
    layouts_.clear();
    ImageCache::Instance().Clear();
    QFile res(skinDir_ + QStringLiteral("/res.xml"));
    if (!res.exists()) return true;
    if (!res.open(QIODevice::ReadOnly)) return false;
    QXmlStreamReader reader(&res);
    if (!reader.readNextStartElement()) return false;
    while (reader.readNextStartElement()) {
        if (reader.name() == QLatin1String("Layout")) {
            AddLayout(reader.attributes().value(QLatin1String("name")).toString(),
                      reader.attributes().value(QLatin1String("file")).toString());
        }
        reader.skipCurrentElement();
    }
    return !reader.hasError();
}

void ResourceIndex::AddLayout(const QString& name, const QString& file) {
    if (!name.isEmpty() && !file.isEmpty()) layouts_.insert(NormalName(name), file);
}

QString ResourceIndex::SkinPath(const QString& file) const {
    QString f = file;
    f.replace(u'\\', u'/');
    if (QDir::isAbsolutePath(f)) return f;
    return skinDir_ + u'/' + f;
}

QString ResourceIndex::LayoutPath(const QString& name) const {
    if (const auto it = layouts_.constFind(NormalName(name)); it != layouts_.cend()) {
        return SkinPath(*it);
    }
    const QString path = SkinPath(name);
    if (!QFileInfo::exists(path) && path.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)) {
        const QString ui = path.left(path.size() - 4) + QStringLiteral(".ui");
        if (QFileInfo::exists(ui)) return ui;
    }
    return path;
}

}  // namespace rerov::ui
