#pragma once
// The user's own background image: checked before anything is decoded, then copied into the
// user folder, so the choice survives the original being moved or deleted.

#include <QString>

namespace rerov::shell {

/// Limits of a user's image: larger files or pictures are refused before decoding.
inline constexpr qint64 kMaxUserImageBytes = 32LL * 1024 * 1024;
inline constexpr int kMaxUserImageSide = 8192;
/// A copy is kept at most this large on a side (a larger picture is scaled down), so the
/// window never holds a huge picture in memory.
inline constexpr int kMaxStoredImageSide = 4096;

/// Why a user's image was refused.
enum class UserImageResult {
    Adopted,     // copied; the copy is in `copy`
    Unreadable,  // missing or cannot be opened
    Empty,       // zero bytes
    NotAnImage,  // no image format the program shows
    TooLarge,    // more than kMaxUserImageBytes or kMaxUserImageSide
    CopyFailed,  // the user folder cannot take the copy
};

/// The outcome of AdoptUserBackground.
struct AdoptedImage {
    UserImageResult result = UserImageResult::Unreadable;
    QString copy;  // absolute path of the copy when adopted
};

/// The folder of the copies: "<user folder>/skin"; empty when there is no user folder.
QString UserBackgroundFolder();

/// Checks `source` (size on disk, image header: format and pixel size) and copies it into
/// `folder` as "custom_<content hash>.<format>", written through a temporary file so a crash
/// leaves the earlier copy; older copies are removed once the new one is in place.
AdoptedImage AdoptUserBackground(const QString& source, const QString& folder);

/// The language key of the message that explains a refusal (empty for Adopted).
QString UserImageMessageKey(UserImageResult result);

}  // namespace rerov::shell
