#pragma once

#include <QPointer>

#include "controls/list_base.h"

namespace rerov::ui {

/// A list row built from the layout "XML\\CustomControlXML\\ComboEditElementItem.xml" with the
/// parts "text1", "text2" and "delay_edit". Enter activates it ("return"), a press selects it
/// (Ctrl toggles it in a multiple selection), a release sends "itemclick", a double click
/// activates it; its timers send "timer" and its context menu "menu". Its own
/// "normalimage", "hotimage" and "selectedimage" attributes are ignored.
class CComboEditContainerElementUI : public CListContainerElementUI {
    Q_OBJECT
  public:
    using CListContainerElementUI::CListContainerElementUI;
    QString GetClass() const override { return QStringLiteral("ComboEditContainerElement"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// The resource name of the row layout.
    static QString LayoutName();

    /// The row's "text1" part (null before DoInit).
    QWidget* Text1() const { return text1_; }
    /// The row's "text2" part.
    QWidget* Text2() const { return text2_; }
    /// The row's "delay_edit" part.
    QWidget* DelayEdit() const { return delayEdit_; }

  protected:
    void DoInit() override;
    void OnControlTimer(int id) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QPointer<QWidget> text1_;
    QPointer<QWidget> text2_;
    QPointer<QWidget> delayEdit_;
};

}  // namespace rerov::ui
