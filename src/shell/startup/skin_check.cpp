#include "shell/startup/skin_check.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace rerov::startup {

namespace {

// The layout file "res.xml" maps `name` to, empty when it maps none. False when the index
// does not parse.
bool IndexedLayout(const QString& indexPath, const QString& name, QString* file, QString* error) {
    QFile index(indexPath);
    if (!index.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the resource index %1").arg(indexPath);
        return false;
    }
    QXmlStreamReader reader(&index);
    if (!reader.readNextStartElement()) {
        *error = QStringLiteral("the resource index %1 is broken: %2")
                     .arg(indexPath, reader.errorString());
        return false;
    }
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == QLatin1String("Layout") &&
            reader.attributes().value(QLatin1String("name")).compare(name, Qt::CaseInsensitive) ==
                0) {
            *file = reader.attributes().value(QLatin1String("file")).toString();
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("the resource index %1 is broken at line %2: %3")
                     .arg(indexPath)
                     .arg(reader.lineNumber())
                     .arg(reader.errorString());
        return false;
    }
    return true;
}

}  // namespace

bool CheckSkin(const QString& skinDir, QString* error) {
    const QDir dir(skinDir);
    if (!QFileInfo(skinDir).isDir()) {
        *error = QStringLiteral("the skin folder %1 is missing").arg(skinDir);
        return false;
    }
    const QString indexPath = dir.filePath(QStringLiteral("res.xml"));
    if (!QFileInfo::exists(indexPath)) {
        *error = QStringLiteral("the resource index %1 is missing").arg(indexPath);
        return false;
    }
    QString mainLayout;
    if (!IndexedLayout(indexPath, QStringLiteral("XML_MAIN"), &mainLayout, error)) return false;
    if (mainLayout.isEmpty()) {
        *error =
            QStringLiteral("the resource index %1 names no main layout (XML_MAIN)").arg(indexPath);
        return false;
    }
    const QString layoutPath = dir.filePath(QString(mainLayout).replace(u'\\', u'/'));
    if (!QFileInfo(layoutPath).isFile()) {
        *error = QStringLiteral("the main layout %1 is missing").arg(layoutPath);
        return false;
    }
    const QString stylePath = dir.filePath(QStringLiteral("style.qss"));
    if (!QFileInfo(stylePath).isFile()) {
        *error = QStringLiteral("the style sheet %1 is missing").arg(stylePath);
        return false;
    }
    return true;
}

}  // namespace rerov::startup
