#pragma once

#include <QString>

class QApplication;

namespace rerov::ui {

/// Prepares the toolkit for a program: points the resource index at `skinDir`, registers the
/// custom controls, loads the fonts of `fontDir` when present, sets the default font and
/// applies the skin's style sheet ("style.qss"). Returns false when the skin folder or its
/// style sheet cannot be read.
bool SetUpSkin(QApplication& app, const QString& skinDir, const QString& fontDir);

/// Loads the language file `file` of the skin and re-resolves every open window's texts.
bool ApplyLanguage(const QString& file);

}  // namespace rerov::ui
