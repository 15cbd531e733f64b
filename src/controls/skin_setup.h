#pragma once

#include <QString>

class QApplication;

namespace rerov::ui {
class PrivateFonts;
}

namespace rerov::ui {

/// Prepares the toolkit for a program: points the resource index at `skinDir`, registers the
/// custom controls, loads the fonts of `fontDir` into `fonts` when present, sets the default
/// font and applies the skin's style sheet ("style.qss"). Returns false when the skin folder or
/// its style sheet cannot be read.
bool SetUpSkin(QApplication& app, const QString& skinDir, const QString& fontDir,
               PrivateFonts& fonts);

/// Loads the language file `file` of the skin and re-resolves every open window's texts.
bool ApplyLanguage(const QString& file);

}  // namespace rerov::ui
