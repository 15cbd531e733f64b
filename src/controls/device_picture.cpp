#include "controls/device_picture.h"

#include <QChildEvent>
#include <algorithm>

#include "controls/content_scale.h"
#include "controls/layout_builder.h"

namespace rerov::ui {
namespace {

// A picture layout may host a picture of its own; a layout that names itself (directly or
// through others) must not build forever.
constexpr int kMaxPictureNesting = 4;
int pictureNesting = 0;

QList<QWidget*> PictureChildren(const QWidget* picture) {
    QList<QWidget*> children = picture->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    children.removeIf([](const QWidget* w) { return w->isWindow(); });
    return children;
}

}  // namespace

bool CDevicePictureUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("picture")) {
        picture_ = value;
        return true;
    }
    return CContainerUI::SetAttribute(name, value);
}

void CDevicePictureUI::DoInit() {
    if (picture_.isEmpty()) return;
    if (pictureNesting >= kMaxPictureNesting) {
        pictureError_ = QStringLiteral("pictures nest too deep at ") + picture_;
        return;
    }
    ++pictureNesting;
    LayoutBuilder builder;
    QWidget* content = builder.Create(picture_, nullptr, this);
    --pictureNesting;
    if (content == nullptr) {
        pictureError_ = builder.ErrorString();
        return;
    }
    content->show();
    Relayout();
}

QRect CDevicePictureUI::DesignBounds() const {
    QRect bounds;
    for (QWidget* child : PictureChildren(this)) bounds |= DesignGeometry(child);
    return bounds;
}

void CDevicePictureUI::Relayout() {
    const QRect bounds = DesignBounds();
    const QRect room = contentsRect();
    if (bounds.isEmpty() || room.isEmpty()) return;
    scale_ = std::min(qreal(room.width()) / bounds.width(), qreal(room.height()) / bounds.height());
    const QSize drawn = ScaleRect(QRect(QPoint(0, 0), bounds.size()), scale_).size();
    const QPoint origin = room.topLeft() + QPoint((room.width() - drawn.width()) / 2,
                                                  (room.height() - drawn.height()) / 2);
    for (QWidget* child : PictureChildren(this)) {
        const QRect design = DesignGeometry(child).translated(-bounds.topLeft());
        ScaleWidgetTree(child, scale_, false);
        child->setGeometry(ScaleRect(design, scale_).translated(origin));
    }
}

void CDevicePictureUI::resizeEvent(QResizeEvent* event) {
    CContainerUI::resizeEvent(event);
    Relayout();
}

void CDevicePictureUI::childEvent(QChildEvent* event) {
    CContainerUI::childEvent(event);
    // A child added by code joins the picture at its design position.
    if (event->type() == QEvent::ChildPolished) Relayout();
}

}  // namespace rerov::ui
