#pragma once

#include "controls/button_base.h"

namespace rerov::ui {

/// A picture ("handimage") larger than the control that the user drags around inside it. The
/// shown part is a source rectangle in image pixels; it stops exactly at the picture's left and
/// top edge. Pressing and releasing sends no "click". "cursor" picks a system cursor by name.
class CHandImgSelectButtonUI : public CButtonUI {
    Q_OBJECT
  public:
    using CButtonUI::CButtonUI;
    QString GetClass() const override { return QStringLiteral("HandImgSelectButton"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// Source rectangle edges (left, top, right, bottom) in image pixels.
    struct Edges {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    /// The shown part of the picture.
    Edges GetSource() const { return source_; }
    /// The image description painted over the control.
    QString GetDrawString() const { return drawString_; }
    /// The picture's own size in pixels.
    QSize GetImageSize() const { return QSize(imageWidth_, imageHeight_); }
    /// True between a press and its release.
    bool IsDragging() const { return drag_; }
    /// The system cursor id last chosen with "cursor" (32512 for "arrow"), 0 when none.
    int GetCursorId() const { return cursorId_; }

    /// The system cursor id of a "cursor" value, or 0 for a value not in the table.
    static int CursorIdOf(const QString& value);

  protected:
    void PaintStatusImage(QPainter& painter, const QRect& paint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool ReportsHover() const override { return true; }
    void resizeEvent(QResizeEvent* event) override;

  private:
    void SetHandImage(const QString& name);
    void Pan(const QPoint& pos);

    QString imageName_;
    QString drawString_;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    Edges source_;
    bool drag_ = false;
    QPoint last_;
    int cursorId_ = 0;
};

}  // namespace rerov::ui
