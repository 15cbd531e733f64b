#pragma once

#include <QString>
#include <QStringList>

namespace rerov::ui {

/// Loads the private fonts of the "Font" folder `dir` in their fixed order; a missing or
/// rejected file is skipped. Returns the families that were added.
QStringList LoadPrivateFonts(const QString& dir);

/// The "Font" folder beside the running program.
QString DefaultFontDir();

}  // namespace rerov::ui
