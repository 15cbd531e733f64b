#include "shell/skin/user_background.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QSaveFile>

#include "profiles/profile_folders.h"

Q_LOGGING_CATEGORY(lcUserBackground, "rerov.skin.user", QtWarningMsg)

namespace rerov::shell {
namespace {

constexpr const char* kCopyPrefix = "custom_";

// Raster formats a background may have, with the suffix of the copy. Vector and container
// formats are left out: their pixel size says nothing about the work of decoding them.
struct FormatRow {
    const char* format;
    const char* suffix;
};
constexpr FormatRow kFormats[] = {
    {"png", "png"}, {"jpeg", "jpg"}, {"jpg", "jpg"},
    {"bmp", "bmp"}, {"gif", "gif"},  {"webp", "webp"},
};

const FormatRow* FormatOf(const QByteArray& format) {
    for (const FormatRow& row : kFormats) {
        if (format == row.format) return &row;
    }
    return nullptr;
}

// The copy's bytes: the file as it is when it is small enough, else the picture scaled
// down and written as PNG. Empty when the picture does not decode.
QByteArray CopyBytes(const QByteArray& data, const QSize& size, const FormatRow** format) {
    if (size.width() <= kMaxStoredImageSide && size.height() <= kMaxStoredImageSide) {
        QBuffer buffer;
        buffer.setData(data);
        QImageReader check(&buffer);
        // The whole picture must decode, not only its header.
        if (check.read().isNull()) return {};
        return data;
    }
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    reader.setScaledSize(
        size.scaled(kMaxStoredImageSide, kMaxStoredImageSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) return {};
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "png");
    if (!writer.write(image)) return {};
    *format = FormatOf("png");
    return png;
}

void RemoveOlderCopies(QDir folder, const QString& keep) {
    const QStringList copies =
        folder.entryList({QLatin1String(kCopyPrefix) + u'*'}, QDir::Files | QDir::NoSymLinks);
    for (const QString& name : copies) {
        if (name == keep) continue;
        if (!folder.remove(name)) {
            qCWarning(lcUserBackground, "cannot remove the old copy %s", qPrintable(name));
        }
    }
}

}  // namespace

QString UserBackgroundFolder() {
    const std::filesystem::path folder = ProductUserFolder();
    if (folder.empty()) return {};
    return QDir(QString::fromStdU16String(folder.u16string())).filePath(QStringLiteral("skin"));
}

AdoptedImage AdoptUserBackground(const QString& source, const QString& folder) {
    AdoptedImage adopted;
    const QFileInfo info(source);
    if (!info.isFile()) return adopted;  // Unreadable
    if (info.size() == 0) {
        adopted.result = UserImageResult::Empty;
        return adopted;
    }
    if (info.size() > kMaxUserImageBytes) {
        adopted.result = UserImageResult::TooLarge;
        return adopted;
    }
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly)) return adopted;  // Unreadable
    // Read once: the checks and the copy see the same bytes even if the file changes.
    const QByteArray data = file.read(kMaxUserImageBytes + 1);
    if (data.isEmpty()) {
        adopted.result = data.size() == 0 && file.error() == QFile::NoError
                             ? UserImageResult::Empty
                             : UserImageResult::Unreadable;
        return adopted;
    }
    if (data.size() > kMaxUserImageBytes) {
        adopted.result = UserImageResult::TooLarge;
        return adopted;
    }
    QBuffer buffer;
    buffer.setData(data);
    QImageReader header(&buffer);
    const FormatRow* format = FormatOf(header.format().toLower());
    if (format == nullptr) {
        adopted.result = UserImageResult::NotAnImage;
        return adopted;
    }
    const QSize size = header.size();
    if (!size.isValid() || size.isEmpty()) {
        adopted.result = UserImageResult::NotAnImage;
        return adopted;
    }
    if (size.width() > kMaxUserImageSide || size.height() > kMaxUserImageSide) {
        adopted.result = UserImageResult::TooLarge;
        return adopted;
    }
    const QByteArray copy = CopyBytes(data, size, &format);
    if (copy.isEmpty()) {
        adopted.result = UserImageResult::NotAnImage;
        return adopted;
    }

    adopted.result = UserImageResult::CopyFailed;
    QDir dir(folder);
    if (folder.isEmpty() || !dir.mkpath(QStringLiteral("."))) {
        qCWarning(lcUserBackground, "cannot create %s", qPrintable(folder));
        return adopted;
    }
    // Named by content: the window's image cache knows a file by its name, so a new picture
    // must never take the name of one shown before.
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(copy, QCryptographicHash::Sha256).toHex().left(16));
    const QString name = QLatin1String(kCopyPrefix) + hash + u'.' + QLatin1String(format->suffix);
    QSaveFile out(dir.filePath(name));
    if (!out.open(QIODevice::WriteOnly) || out.write(copy) != copy.size() || !out.commit()) {
        qCWarning(lcUserBackground, "cannot write %s: %s", qPrintable(out.fileName()),
                  qPrintable(out.errorString()));
        return adopted;
    }
    RemoveOlderCopies(dir, name);
    adopted.result = UserImageResult::Adopted;
    adopted.copy = QFileInfo(dir.filePath(name)).absoluteFilePath();
    return adopted;
}

QString UserImageMessageKey(UserImageResult result) {
    switch (result) {
        case UserImageResult::Adopted:
            return {};
        case UserImageResult::Unreadable:
            return QStringLiteral("message_skin_unreadable");
        case UserImageResult::Empty:
            return QStringLiteral("message_skin_empty");
        case UserImageResult::NotAnImage:
            return QStringLiteral("message_skin_not_image");
        case UserImageResult::TooLarge:
            return QStringLiteral("message_skin_too_large");
        case UserImageResult::CopyFailed:
            return QStringLiteral("message_skin_copy_failed");
    }
    return QStringLiteral("message_skin_unreadable");
}

}  // namespace rerov::shell
