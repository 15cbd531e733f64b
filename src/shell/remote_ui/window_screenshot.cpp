#include "shell/remote_ui/window_screenshot.h"

#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>

namespace rerov::remote_ui {

bool SaveWindowPng(QWidget* window, const QString& path, QSize* size, QString* error) {
    const QPixmap picture = window->grab();
    if (picture.isNull()) {
        *error = QStringLiteral("cannot take a picture of the window");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(picture.toImage())) {
        file.cancelWriting();
        *error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    *size = picture.size();
    return true;
}

}  // namespace rerov::remote_ui
