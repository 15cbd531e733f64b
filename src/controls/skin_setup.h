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

/// Applies the skin's style sheet with its pixel lengths multiplied by `scale` (the main
/// window's content scale), so plain widgets and menus scale with the controls. Does nothing
/// before SetUpSkin, or when the sheet already has that scale.
void ApplySkinScale(qreal scale);

/// Loads the language file `file` of the skin and re-resolves every open window's texts.
bool ApplyLanguage(const QString& file);

}  // namespace rerov::ui
