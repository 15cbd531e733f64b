#pragma once
// The faces the interface is drawn in, by language index of "Language.config".

#include <QStringList>

namespace rerov::shell {

/// The language index before any language was applied.
inline constexpr int kNoLanguage = -1;

/// The face list of language `index`: the language's own face first (index 0 "汉仪菱心体简",
/// 2 "Noto Sans CJK TC Regular", 15 "Noto Sans Thai", any other "Verdana Unicode MS"), then
/// faces that commonly exist for its script, so the glyphs render where the first is
/// missing. The program's own font is appended by ui::ApplyFontFaces.
QStringList LanguageFontFaces(int index);

/// Whether switching from language `current` to `next` replaces the fonts: when `next` is
/// 15, 0 or 2, or `current` is 15, -1, 2 or 0 (the languages whose scripts need faces of
/// their own); between two other languages the fonts stay.
bool LanguageSwitchReplacesFonts(int current, int next);

}  // namespace rerov::shell
