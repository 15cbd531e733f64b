#pragma once

#include "controls/list_base.h"

namespace rerov::ui {

/// A list row that reports activation ("itemactivate") and its context menu ("menu"), and
/// frames itself while hot but not selected when the owning list has a hot image.
class CCloudShareListItemUI : public CListContainerElementUI {
    Q_OBJECT
  public:
    using CListContainerElementUI::CListContainerElementUI;
    QString GetClass() const override { return QStringLiteral("CloudShareListItemUI"); }
    /// Sends "itemactivate" after a successful activation.
    bool Activate() override;

  protected:
    void DrawItemBk(QPainter& painter, const QRect& paint) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace rerov::ui
