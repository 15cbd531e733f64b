#pragma once

#include "controls/button_base.h"

namespace rerov::ui {

/// A button with a picture ("handimage") drawn over its status image; it reports the mouse
/// entering and leaving with "msenter" and "msleave". "deletenormalimage" and
/// "deletehotimage" are kept but not drawn.
class CHandImgButtonUI : public CButtonUI {
    Q_OBJECT
  public:
    using CButtonUI::CButtonUI;
    QString GetClass() const override { return QStringLiteral("HandImgButton"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// The "handimage" description.
    QString GetHandImage() const { return handImage_; }
    /// The "deletenormalimage" (not drawn).
    QString GetDeleteNormalImage() const { return deleteNormalImage_; }
    /// The "deletehotimage" (not drawn).
    QString GetDeleteHotImage() const { return deleteHotImage_; }

  protected:
    void PaintStatusImage(QPainter& painter, const QRect& paint) override;
    bool ReportsHover() const override { return true; }

  private:
    QString handImage_;
    QString deleteNormalImage_;
    QString deleteHotImage_;
};

}  // namespace rerov::ui
