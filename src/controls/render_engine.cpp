#include "controls/render_engine.h"

#include <QApplication>
#include <QCache>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <memory>

#include "controls/image_cache.h"

namespace rerov::ui {
namespace {

QString Unquote(QString v) {
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == u'\'' || v.front() == u'"') && v.back() == v.front()) {
        v = v.mid(1, v.size() - 2);
    }
    return v;
}

bool ParseInts(const QString& text, int count, int* out) {
    const QStringList parts = text.split(u',');
    if (parts.size() != count) return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        out[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return false;
    }
    return true;
}

// Scratch buffer for tinted images: reused across paints so the key lights allocate nothing
// once it has grown to the largest key.
QImage& TintScratch(QSize size) {
    static QImage scratch;
    if (scratch.width() < size.width() || scratch.height() < size.height()) {
        scratch = QImage(size.expandedTo(scratch.size()), QImage::Format_ARGB32_Premultiplied);
    }
    return scratch;
}

// The mask's alpha filled with the tint colour, scaled by the level. One table entry per alpha
// value keeps the per-pixel work to a lookup.
const QImage& Tinted(const QImage& mask, const ImageTint& tint) {
    QImage& out = TintScratch(mask.size());
    const uint r = tint.colour & 0xFF, g = (tint.colour >> 8) & 0xFF,
               b = (tint.colour >> 16) & 0xFF;
    const uint level = static_cast<uint>(std::clamp(tint.level, 0, 255));
    QRgb table[256];
    for (uint alpha = 0; alpha < 256; ++alpha) {
        const uint a = (alpha * level + 127) / 255;
        table[alpha] = qRgba((r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255, a);
    }
    const int width = mask.width();
    const int height = mask.height();
    const qsizetype srcStride = mask.bytesPerLine();
    const qsizetype dstStride = out.bytesPerLine();
    const uchar* srcBits = mask.constBits();
    uchar* dstBits = out.bits();
    for (int y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(srcBits + y * srcStride);
        auto* dst = reinterpret_cast<QRgb*>(dstBits + y * dstStride);
        for (int x = 0; x < width; ++x) dst[x] = table[qAlpha(src[x])];
    }
    return out;
}

void DrawPiece(QPainter& painter, const QRect& target, const QImage& image, const QRect& source,
               bool xtiled, bool ytiled) {
    if (target.isEmpty() || source.isEmpty()) return;
    if (!xtiled && !ytiled) {
        painter.drawImage(target, image, source);
        return;
    }
    const int stepX = xtiled ? source.width() : target.width();
    const int stepY = ytiled ? source.height() : target.height();
    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    for (int y = target.top(); y < target.top() + target.height(); y += stepY) {
        for (int x = target.left(); x < target.left() + target.width(); x += stepX) {
            painter.drawImage(QRect(x, y, stepX, stepY), image, source);
        }
    }
    painter.restore();
}

}  // namespace

ImageDescription ImageDescription::Parse(const QString& text) {
    ImageDescription d;
    if (!text.contains(u'=')) {
        d.file = text.trimmed();
        return d;
    }
    // key='value' pairs separated by blanks; values may not contain quotes.
    int pos = 0;
    const int n = static_cast<int>(text.size());
    while (pos < n) {
        while (pos < n && text[pos].isSpace()) ++pos;
        const int eq = static_cast<int>(text.indexOf(u'=', pos));
        if (eq < 0) break;
        const QString key = text.mid(pos, eq - pos).trimmed();
        int vs = eq + 1;
        QString value;
        if (vs < n && (text[vs] == u'\'' || text[vs] == u'"')) {
            const QChar quote = text[vs];
            const int ve = static_cast<int>(text.indexOf(quote, vs + 1));
            if (ve < 0) break;
            value = text.mid(vs + 1, ve - vs - 1);
            pos = ve + 1;
        } else {
            int ve = vs;
            while (ve < n && !text[ve].isSpace()) ++ve;
            value = text.mid(vs, ve - vs);
            pos = ve;
        }
        value = Unquote(value);
        int v[4];
        if (key == QLatin1String("file") || key == QLatin1String("res")) {
            d.file = value;
        } else if (key == QLatin1String("source")) {
            render::ParseRectEdges(value, &d.source);
        } else if (key == QLatin1String("dest")) {
            render::ParseRectEdges(value, &d.dest);
        } else if (key == QLatin1String("corner") && ParseInts(value, 4, v)) {
            d.corner = QMargins(v[0], v[1], v[2], v[3]);
        } else if (key == QLatin1String("fade")) {
            d.fade = std::clamp(value.toInt(), 0, 255);
        } else if (key == QLatin1String("hole")) {
            d.hole = value == QLatin1String("true");
        } else if (key == QLatin1String("xtiled")) {
            d.xtiled = value == QLatin1String("true");
        } else if (key == QLatin1String("ytiled")) {
            d.ytiled = value == QLatin1String("true");
        }
        // "restype", "mask" and "hsl" need nothing here: images carry their own alpha.
    }
    return d;
}

namespace render {

bool ParseRectEdges(const QString& text, QRect* rect) {
    int v[4];
    if (!ParseInts(text, 4, v)) return false;
    *rect = QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
    return true;
}

bool DrawImageString(QPainter& painter, const QRect& control, const QRect& paint,
                     const QString& description, const ImageTint* tint) {
    if (description.isEmpty()) return false;
    static QHash<QString, ImageDescription> parsed;
    auto it = parsed.constFind(description);
    if (it == parsed.cend()) {
        // Panned pictures make a new description per position: keep the cache bounded.
        if (parsed.size() > 4096) parsed.clear();
        it = parsed.insert(description, ImageDescription::Parse(description));
    }
    const ImageDescription& d = *it;

    QRect target = control;
    if (!d.dest.isNull()) target = d.dest.translated(control.topLeft()).intersected(control);
    const QRect visible = target.intersected(paint);
    if (visible.isEmpty()) return !d.file.isEmpty();

    // Whole-image drawing of an SVG renders it at the target size for crisp edges; source
    // rectangles and corners work in the image's own pixels.
    const bool whole = d.source.isNull() && d.corner.isNull() && !d.xtiled && !d.ytiled;
    const QImage* image = ImageCache::Instance().Get(d.file, whole ? target.size() : QSize());
    if (image == nullptr) return false;
    const QImage& drawn = (tint != nullptr && tint->on) ? Tinted(*image, *tint) : *image;
    const QRect source = d.source.isNull() ? image->rect() : d.source.intersected(image->rect());

    // Plain images stay inside their target by themselves; only fades and tiles need painter
    // state, which keeps the per-key painting free of state pushes.
    const bool needsState = d.fade < 255 || d.xtiled || d.ytiled;
    if (needsState) {
        painter.save();
        painter.setClipRect(visible, Qt::IntersectClip);
        if (d.fade < 255) painter.setOpacity(painter.opacity() * d.fade / 255.0);
    }
    if (d.corner.isNull()) {
        DrawPiece(painter, target, drawn, source, d.xtiled, d.ytiled);
    } else {
        const QMargins c = d.corner;
        const int sx[4] = {source.left(), source.left() + c.left(), source.right() + 1 - c.right(),
                           source.right() + 1};
        const int sy[4] = {source.top(), source.top() + c.top(), source.bottom() + 1 - c.bottom(),
                           source.bottom() + 1};
        const int tx[4] = {target.left(), target.left() + c.left(), target.right() + 1 - c.right(),
                           target.right() + 1};
        const int ty[4] = {target.top(), target.top() + c.top(), target.bottom() + 1 - c.bottom(),
                           target.bottom() + 1};
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) {
                if (row == 1 && col == 1 && d.hole) continue;
                const QRect s(QPoint(sx[col], sy[row]), QPoint(sx[col + 1] - 1, sy[row + 1] - 1));
                const QRect t(QPoint(tx[col], ty[row]), QPoint(tx[col + 1] - 1, ty[row + 1] - 1));
                const bool middle = row == 1 && col == 1;
                DrawPiece(painter, t, drawn, s, middle && d.xtiled, middle && d.ytiled);
            }
        }
    }
    if (needsState) painter.restore();
    return true;
}

bool DrawImageCover(QPainter& painter, const QRect& control, const QRect& paint,
                    const QString& file) {
    if (file.isEmpty() || control.isEmpty()) return false;
    // Backgrounds are large: the scaled picture is kept, so that every later paint of the
    // window (the device picture animates above it) is a copy, not a smooth scaling.
    static QCache<QString, QImage> scaled(64 * 1024 * 1024);
    const QString key =
        QStringLiteral("%1|%2x%3").arg(file).arg(control.width()).arg(control.height());
    QImage* picture = scaled.object(key);
    if (picture == nullptr) {
        const QSize natural = ImageCache::Instance().NaturalSize(file);
        if (natural.isEmpty()) return false;
        const QSize covering = natural.scaled(control.size(), Qt::KeepAspectRatioByExpanding);
        // SVG files render at the covering size; raster ones are scaled from their own.
        const QImage* image = ImageCache::Instance().Get(file, covering);
        if (image == nullptr) return false;
        const QSize cut = control.size().scaled(image->size(), Qt::KeepAspectRatio);
        const QRect source(
            QPoint((image->width() - cut.width()) / 2, (image->height() - cut.height()) / 2), cut);
        auto fitted = std::make_unique<QImage>(image->copy(source).scaled(
            control.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        if (fitted->isNull()) return false;
        picture = fitted.get();
        const qsizetype cost = std::max<qsizetype>(1, picture->sizeInBytes());
        if (!scaled.insert(key, fitted.release(), cost)) {
            // Larger than the whole cache: drawn once, not kept.
            return DrawImageString(painter, control, paint, file);
        }
    }
    const QRect visible = control.intersected(paint);
    if (visible.isEmpty()) return true;
    painter.drawImage(visible, *picture, visible.translated(-control.topLeft()));
    return true;
}

void DrawColor(QPainter& painter, const QRect& rect, quint32 argb) {
    if ((argb >> 24) == 0) return;
    painter.fillRect(rect, QColor::fromRgba(argb));
}

void DrawRect(QPainter& painter, const QRect& rect, int size, quint32 argb) {
    if (size <= 0 || (argb >> 24) == 0) return;
    const QColor colour = QColor::fromRgba(argb);
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), size), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom() + 1 - size, rect.width(), size), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), size, rect.height()), colour);
    painter.fillRect(QRect(rect.right() + 1 - size, rect.top(), size, rect.height()), colour);
}

void DrawText(QPainter& painter, const QRect& rect, const QString& text, quint32 argb,
              const QFont& font, int alignment) {
    if (text.isEmpty()) return;
    // Font and pen are left set: every drawing helper sets what it uses.
    painter.setFont(font);
    painter.setPen(QColor::fromRgba(argb));
    painter.drawText(rect, alignment, text);
}

bool ParseColor(const QString& text, quint32* argb) {
    QString t = text.trimmed();
    if (t.startsWith(u'#')) {
        t = t.mid(1);
    } else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
    }
    if (t.size() != 6 && t.size() != 8) return false;
    bool ok = false;
    quint32 v = t.toUInt(&ok, 16);
    if (!ok) return false;
    if (t.size() == 6) v |= 0xFF000000u;
    *argb = v;
    return true;
}

QFont FontForIndex(int index, qreal scale) {
    struct FontRow {
        int index;
        int pixelSize;
        bool underline;
        bool bold;
    };
    // The font set of the layouts; -1 is the default font.
    static constexpr FontRow kFonts[] = {
        {-1, 14, false, false}, {0, 15, false, false}, {1, 14, true, false},
        {2, 18, false, false},  {3, 30, false, false}, {4, 16, false, false},
        {5, 20, false, false},  {6, 22, false, false}, {7, 14, false, false},
        {8, 12, false, false},  {9, 11, false, false}, {10, 10, false, false},
        {11, 28, false, false}, {50, 18, false, true},
    };
    QFont font = QApplication::font();
    const FontRow* row = &kFonts[0];
    for (const FontRow& r : kFonts) {
        if (r.index == index) row = &r;
    }
    font.setPixelSize(std::max(1, int(std::lround(row->pixelSize * scale))));
    font.setUnderline(row->underline);
    font.setBold(row->bold);
    return font;
}

}  // namespace render
}  // namespace rerov::ui
