#pragma once

#include <QString>
#include <QStringList>

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

/// Loads the language file `file` of the skin and shows it in every open window (see
/// AnnounceLanguage). False, with the texts and windows left as they were, when the file
/// cannot be read or parsed.
bool ApplyLanguage(const QString& file);

/// Shows the current language in every open window, in two steps: the bound texts of each
/// top-level widget are re-resolved (LanguageTexts::Retranslate: widget properties, combo
/// items, tab titles); then each top-level widget is sent QEvent::LanguageChange
/// synchronously. QWidget hands the event on to all its children, widgets and plain
/// QObjects alike, so a window, control or helper object that composes a text by code
/// rebuilds it in changeEvent (or event) and finds the bound texts already current.
void AnnounceLanguage();

/// The face list of the application font becomes `faces`, then the program's own faces
/// (those of the application font before the first call: the private font or the skin's
/// default) and "DejaVu Sans", so a face that is missing falls back to one that exists and
/// the first entry still says which face was chosen. Sizes stay as they are; plain widgets
/// follow the application font and every control of every open window takes the new face
/// at once (CControlUI::RefreshFont).
void ApplyFontFaces(const QStringList& faces);

}  // namespace rerov::ui
