#pragma once
// "main.ini" in the product's user folder: the background the user chose, so the window
// shows it again at the next start. Section "SKINIMAGE": FLAGS 0 after a reset (IMAGE is the
// default image), 1 for an image (IMAGE: a file of the skin folder, or the copy of the
// user's own image in the user folder), 2 for a colour (COLOR "#AARRGGBB").

#include <QString>
#include <optional>

#include "shell/skin/skin_observer.h"

namespace rerov::shell {

/// The default background image of the skin folder, shown after a reset.
inline constexpr const char* kDefaultBackground = "common/background.png";

/// The values of FLAGS.
inline constexpr int kSkinFlagDefault = 0;
inline constexpr int kSkinFlagImage = 1;
inline constexpr int kSkinFlagColour = 2;

/// "main.ini" in the product's user folder; empty when there is no user folder.
QString SkinIniPath();

/// Where a stored background may come from: the skin folder (relative names) and the folder
/// of the user's own images (absolute names).
struct SkinSources {
    QString skinDir;
    QString userImageDir;
};

/// Writes FLAGS and IMAGE (and drops COLOR). False, with a logged warning, when the file
/// cannot be written.
bool WriteSkinImage(const QString& iniPath, int flags, const QString& image);
/// Writes FLAGS 2 and COLOR. False, with a logged warning, when the file cannot be written.
bool WriteSkinColour(const QString& iniPath, quint32 argb);

/// The background stored in `iniPath`, checked: nothing (with a logged warning unless the
/// file or its section is simply absent) for an unreadable or malformed file, an unknown
/// FLAGS, a bad colour, or an image that is not a file inside `sources` or does not decode.
/// A relative image must stay inside the skin folder (no "..", not absolute); an absolute
/// one must lie in the user's image folder.
std::optional<SkinChangedParam> ReadStoredSkin(const QString& iniPath, const SkinSources& sources);

/// The full path of a stored image name, or empty when it may not be used (see
/// ReadStoredSkin); does not look at the file's content.
QString ResolveStoredImage(const QString& image, const SkinSources& sources);

}  // namespace rerov::shell
