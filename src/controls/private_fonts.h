#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace rerov::ui {

/// The private fonts of a program, loaded from its "Font" folder in a fixed order and released
/// in reverse order when the object ends. UI thread only.
class PrivateFonts {
  public:
    PrivateFonts() = default;
    ~PrivateFonts() { Release(); }
    PrivateFonts(const PrivateFonts&) = delete;
    PrivateFonts& operator=(const PrivateFonts&) = delete;

    /// Loads the known font files of `dir`; a missing or rejected file is skipped, an empty
    /// `dir` loads nothing. Returns the families that were added.
    QStringList Load(const QString& dir);
    /// Removes every font this object loaded, last first.
    void Release();
    /// The font database ids of the loaded fonts, in loading order.
    QList<int> Ids() const { return ids_; }

  private:
    QList<int> ids_;
};

/// The font files Load tries for `dir`, in loading order; none for an empty folder name
/// (which would otherwise name files at the root of the file system).
QStringList FontFilePaths(const QString& dir);

/// The "Font" folder beside the running program.
QString DefaultFontDir();

}  // namespace rerov::ui
