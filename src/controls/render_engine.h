#pragma once

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QString>

class QPainter;

namespace rerov::ui {

/// A colour, level and flag handed with an image to tint it (the key lights): when `on` is set
/// the image's shape is filled with `colour` at strength `level` (0..255). The colour is in the
/// order of the pages' light colour list: byte 0 red, byte 1 green, byte 2 blue.
struct ImageTint {
    quint32 colour = 0xFFFFFF;
    int level = 255;
    bool on = false;
};

/// One parsed image description: either a bare file name or key='value' pairs with
/// "file"/"res", "restype", "dest", "source", "corner", "mask", "fade", "hole", "xtiled",
/// "ytiled", "hsl".
struct ImageDescription {
    QString file;
    QRect source;  // image pixels; null = whole image
    QRect dest;    // relative to the control's top-left; null = whole control
    QMargins corner;
    int fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;

    /// Parses a description; unknown keys and malformed numbers are ignored.
    static ImageDescription Parse(const QString& text);
};

namespace render {

/// Draws an image description over `control`, clipped to `paint`; a "dest" is taken relative
/// to the control's top-left corner and cut to the control. Returns false when the image
/// cannot be loaded. Parsed descriptions are cached, so repeated painting does not re-parse.
bool DrawImageString(QPainter& painter, const QRect& control, const QRect& paint,
                     const QString& description, const ImageTint* tint = nullptr);

/// Draws `file` (a skin file or an absolute path) so that it covers `control`: scaled with its
/// aspect kept until it fills the control, centred, the overflow cut off; clipped to `paint`.
/// Scaled pictures are cached by file and size, so repainting costs a plain copy. Returns
/// false when the image cannot be loaded.
bool DrawImageCover(QPainter& painter, const QRect& control, const QRect& paint,
                    const QString& file);

/// Fills `rect` with an ARGB colour (0xAARRGGBB); a zero alpha draws nothing.
void DrawColor(QPainter& painter, const QRect& rect, quint32 argb);

/// Draws a frame of `size` pixels inside `rect` in an ARGB colour.
void DrawRect(QPainter& painter, const QRect& rect, int size, quint32 argb);

/// Draws plain text in `rect` with Qt alignment flags.
void DrawText(QPainter& painter, const QRect& rect, const QString& text, quint32 argb,
              const QFont& font, int alignment);

/// Parses "#AARRGGBB", "#RRGGBB" (opaque), "0x..." or the same without "#"; returns false
/// for anything else.
bool ParseColor(const QString& text, quint32* argb);

/// Parses "l,t,r,b" into a rectangle with those edges (right and bottom exclusive).
bool ParseRectEdges(const QString& text, QRect* rect);

/// The font of a font index of the layouts in the application font's faces (they follow the
/// language; sizes in pixels, the default font for -1), its
/// size multiplied by `scale` and rounded to whole pixels.
QFont FontForIndex(int index, qreal scale = 1.0);

}  // namespace render
}  // namespace rerov::ui
