#pragma once

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

namespace rerov::ui {

/// Decoded skin images, kept for the whole run. SVG files are rendered at the size asked for
/// (or their own size), other formats are decoded once. UI thread only.
class ImageCache {
  public:
    /// The cache shared by every control.
    static ImageCache& Instance();

    /// The image of `file` (relative to the skin folder or absolute) rendered at `size`; an empty
    /// size means the file's own size. Returns null when the file cannot be loaded.
    const QImage* Get(const QString& file, QSize size = QSize());
    /// The file's own size in pixels (the SVG view box for SVG), or an empty size when it
    /// cannot be loaded.
    QSize NaturalSize(const QString& file);
    /// Drops every cached image (after a skin change).
    void Clear();

  private:
    struct Key {
        QString file;
        int width;
        int height;
        bool operator==(const Key& o) const {
            return width == o.width && height == o.height && file == o.file;
        }
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, key.file, key.width, key.height);
    }
    QHash<Key, QImage> images_;  // a null image remembers a file that failed to load
};

}  // namespace rerov::ui
