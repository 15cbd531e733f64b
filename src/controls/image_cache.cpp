#include "controls/image_cache.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

#include "controls/resource_index.h"

namespace rerov::ui {
namespace {
bool IsSvg(const QString& path) {
    return path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive);
}

QImage Render(const QString& path, QSize size) {
    if (IsSvg(path)) {
        QSvgRenderer svg(path);
        if (!svg.isValid()) return {};
        const QSize target = size.isEmpty() ? svg.defaultSize() : size;
        if (target.isEmpty()) return {};
        QImage image(target, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        svg.render(&painter);
        return image;
    }
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull()) return {};
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    // Raster images are kept at their own size; drawing scales them.
    return image;
}
}  // namespace

ImageCache& ImageCache::Instance() {
    static ImageCache instance;
    return instance;
}

const QImage* ImageCache::Get(const QString& file, QSize size) {
    if (file.isEmpty()) return nullptr;
    // Keyed by the name as given, so a cached image costs no path building; SetSkinDir clears.
    if (!IsSvg(file)) size = QSize();
    const Key key{file, size.width(), size.height()};
    auto it = images_.find(key);
    if (it == images_.end()) {
        it = images_.insert(key, Render(ResourceIndex::Instance().SkinPath(file), size));
    }
    return it->isNull() ? nullptr : &*it;
}

QSize ImageCache::NaturalSize(const QString& file) {
    const QImage* image = Get(file);
    return image ? image->size() : QSize();
}

void ImageCache::Clear() { images_.clear(); }

}  // namespace rerov::ui
