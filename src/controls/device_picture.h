#pragma once

#include <QRect>
#include <QString>

#include "controls/control_base.h"

namespace rerov::ui {

/// The picture of a device that uses the room it has. Its children are placed by their
/// design coordinates, scaled by the largest factor at which the box around them fits the
/// control (the aspect ratio kept) and centred; their own children (keys, their labels and
/// lights) scale with them. The window's content scale does not reach inside: the picture's
/// factor comes from its room alone.
///
/// Layout attribute "picture": a layout of the skin built into the control as its content
/// (the generated keyboard picture), so a hand-written page can host a generated picture.
class CDevicePictureUI : public CContainerUI {
    Q_OBJECT
  public:
    using CContainerUI::CContainerUI;
    QString GetClass() const override { return QStringLiteral("DevicePicture"); }
    bool SetAttribute(const QString& name, const QString& value) override;
    bool PlacesChildren() const override { return true; }
    bool ScalesChildren() const override { return true; }

    /// The factor the picture is drawn at now (1 before the first layout).
    qreal PictureScale() const { return scale_; }
    /// The box around the children's design rectangles (empty without children).
    QRect DesignBounds() const;
    /// Why the "picture" layout could not be built (empty when it was, or none was named).
    QString PictureError() const { return pictureError_; }
    /// Places and scales the children for the current size.
    void Relayout();

  protected:
    void DoInit() override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

  private:
    QString picture_;
    QString pictureError_;
    qreal scale_ = 1.0;
};

}  // namespace rerov::ui
