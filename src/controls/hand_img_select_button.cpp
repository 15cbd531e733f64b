#include "controls/hand_img_select_button.h"

#include <QMouseEvent>

#include "controls/image_cache.h"
#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {
namespace {

struct CursorRow {
    const char* name;
    int id;
    Qt::CursorShape shape;
};
// The cursor names of the layouts with their system cursor ids.
constexpr CursorRow kCursors[] = {
    {"arrow", 32512, Qt::ArrowCursor},        {"ibeam", 32513, Qt::IBeamCursor},
    {"wait", 32514, Qt::WaitCursor},          {"cross", 32515, Qt::CrossCursor},
    {"uparrow", 32516, Qt::UpArrowCursor},    {"size", 32640, Qt::SizeAllCursor},
    {"icon", 32641, Qt::ArrowCursor},         {"sizenwse", 32642, Qt::SizeFDiagCursor},
    {"sizenesw", 32643, Qt::SizeBDiagCursor}, {"sizewe", 32644, Qt::SizeHorCursor},
    {"sizens", 32645, Qt::SizeVerCursor},     {"sizeall", 32646, Qt::SizeAllCursor},
    {"no", 32648, Qt::ForbiddenCursor},       {"hand", 32649, Qt::PointingHandCursor},
};

const CursorRow* FindCursor(const QString& value) {
    for (const CursorRow& row : kCursors) {
        if (value == QLatin1String(row.name)) return &row;
    }
    return nullptr;
}

}  // namespace

int CHandImgSelectButtonUI::CursorIdOf(const QString& value) {
    const CursorRow* row = FindCursor(value);
    return row ? row->id : 0;
}

bool CHandImgSelectButtonUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("handimage")) {
        SetHandImage(value);
        return true;
    }
    if (name == QLatin1String("cursor") && !value.isEmpty()) {
        if (const CursorRow* row = FindCursor(value)) {
            cursorId_ = row->id;
            setCursor(row->shape);
        }
        return true;
    }
    return CButtonUI::SetAttribute(name, value);
}

void CHandImgSelectButtonUI::SetHandImage(const QString& name) {
    imageName_ = name;
    const QSize natural = ImageCache::Instance().NaturalSize(name);
    if (natural.isEmpty()) return;
    imageWidth_ = natural.width();
    imageHeight_ = natural.height();
    const int w = width();
    const int h = height();
    if (w < imageWidth_ || h < imageHeight_) {
        drawString_ = QStringLiteral("file='%1' ").arg(name) +
                      QStringLiteral("source='%1,%2,%3,%4'").arg(0).arg(0).arg(w).arg(h);
    } else {
        drawString_ = name;
    }
    source_ = Edges{0, 0, w, h};
    update();
}

void CHandImgSelectButtonUI::PaintStatusImage(QPainter& painter, const QRect& paint) {
    CButtonUI::PaintStatusImage(painter, paint);
    if (!drawString_.isEmpty()) render::DrawImageString(painter, rect(), paint, drawString_);
}

void CHandImgSelectButtonUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint pos = event->position().toPoint();
    if (IsInside(pos) && isEnabled()) {
        pushed_ = captured_ = true;
        last_ = pos;
        update();
    }
    drag_ = true;
}

void CHandImgSelectButtonUI::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void CHandImgSelectButtonUI::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (captured_) {
        pushed_ = captured_ = false;
        update();
    }
    drag_ = false;
}

void CHandImgSelectButtonUI::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (drag_) Pan(pos);
    if (captured_) pushed_ = IsInside(pos);
    update();
}

void CHandImgSelectButtonUI::Pan(const QPoint& pos) {
    const int x = pos.x(), y = pos.y();
    if (x < last_.x()) {
        if (source_.right < imageWidth_) {
            source_.left += last_.x() - x;
            source_.right += last_.x() - x;
        }
    } else if (source_.left > 0) {
        const int d = x - last_.x();
        const int step = d < source_.left ? d : source_.left;
        source_.left -= step;
        source_.right -= step;
    }
    if (y < last_.y()) {
        if (source_.bottom < imageHeight_) {
            source_.top += last_.y() - y;
            source_.bottom += last_.y() - y;
        }
    } else if (source_.top > 0) {
        const int d = y - last_.y();
        const int step = d < source_.top ? d : source_.top;
        source_.top -= step;
        source_.bottom -= step;
    }
    last_ = pos;
    drawString_ =
        QStringLiteral("file='%1' ").arg(imageName_) + QStringLiteral("source='%1,%2,%3,%4'")
                                                           .arg(source_.left)
                                                           .arg(source_.top)
                                                           .arg(source_.right)
                                                           .arg(source_.bottom);
}

void CHandImgSelectButtonUI::resizeEvent(QResizeEvent* event) {
    CButtonUI::resizeEvent(event);
    // A control placed by a layout learns its size after its attributes: fit the picture again
    // as long as the user has not moved it.
    if (!imageName_.isEmpty() && source_.left == 0 && source_.top == 0 && !drag_) {
        SetHandImage(imageName_);
    }
}

}  // namespace rerov::ui
