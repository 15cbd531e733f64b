#pragma once
// A picture of a window as it is on screen, saved as a PNG file. UI thread only.

#include <QSize>
#include <QString>

class QWidget;

namespace rerov::remote_ui {

// Renders `window` at its size (in device pixels) and writes it to `path` as PNG through a
// temporary file that replaces `path` only once complete. False with a reason (the folder
// is missing or not writable, the disk is full); no file is left behind then.
bool SaveWindowPng(QWidget* window, const QString& path, QSize* size, QString* error);

}  // namespace rerov::remote_ui
