#include "shell/language/language_fonts.h"

#include <algorithm>
#include <iterator>

namespace rerov::shell {
namespace {

struct FaceRow {
    int index;
    const char* faces[4];  // the language's own face first; null ends the list
};

// The language indices of "Language.config" that have faces of their own.
constexpr FaceRow kFaceRows[] = {
    {0, {"汉仪菱心体简", "WenQuanYi Micro Hei", "Noto Sans CJK SC", nullptr}},
    {2, {"Noto Sans CJK TC Regular", "Noto Sans CJK TC", "WenQuanYi Micro Hei", nullptr}},
    {15, {"Noto Sans Thai", nullptr, nullptr, nullptr}},
};
constexpr const char* kOtherFace = "Verdana Unicode MS";

bool HasOwnFaces(int index) {
    return std::any_of(std::begin(kFaceRows), std::end(kFaceRows),
                       [index](const FaceRow& row) { return row.index == index; });
}

}  // namespace

QStringList LanguageFontFaces(int index) {
    for (const FaceRow& row : kFaceRows) {
        if (row.index != index) continue;
        QStringList faces;
        for (const char* face : row.faces) {
            if (face != nullptr) faces << QString::fromUtf8(face);
        }
        return faces;
    }
    return {QString::fromLatin1(kOtherFace)};
}

bool LanguageSwitchReplacesFonts(int current, int next) {
    return HasOwnFaces(next) || current == kNoLanguage || HasOwnFaces(current);
}

}  // namespace rerov::shell
