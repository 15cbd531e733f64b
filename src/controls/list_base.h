#pragma once

#include <QList>

#include "controls/control_base.h"

namespace rerov::ui {

class CListContainerElementUI;

/// Colours and images of a list's rows ("itembkcolor", "itemhotbkcolor", ...).
struct ListItemInfo {
    quint32 textColor = 0xFFE6E8EE;
    quint32 bkColor = 0;
    quint32 hotTextColor = 0xFFFFFFFF;
    quint32 hotBkColor = 0xFF232833;
    quint32 selectedTextColor = 0xFFFFFFFF;
    quint32 selectedBkColor = 0xFF0E3A52;
    quint32 lineColor = 0;
    QString hotImage;
    QString selectedImage;
};

/// A vertical list of row containers with single or multiple selection; a change of the
/// selection sends "itemselect" (wParam new index, lParam previous index).
class CListUI : public CVerticalLayoutUI {
    Q_OBJECT
  public:
    using CVerticalLayoutUI::CVerticalLayoutUI;
    QString GetClass() const override { return QStringLiteral("List"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// The row colours and images.
    const ListItemInfo& GetListInfo() const { return info_; }
    /// The row colours and images, for changing them.
    ListItemInfo& ListInfo() { return info_; }

    /// The rows in display order.
    QList<CListContainerElementUI*> Elements() const;
    /// The display index of `element`, or -1.
    int IndexOf(const CListContainerElementUI* element) const;
    /// The first selected row's index, or -1.
    int GetCurSel() const;

    /// Selects only row `index`; sends "itemselect" when `notify` and the selection changed.
    bool SelectItem(int index, bool notify = true);
    /// Adds row `index` to the selection (or removes it when `select` is false).
    bool SelectMultiItem(int index, bool select = true, bool notify = true);
    /// Clears the selection without notifying.
    void ClearSelection();
    /// True when "multiselect" is "true".
    bool IsMultiSelect() const { return multiSelect_; }

  private:
    ListItemInfo info_;
    bool multiSelect_ = false;
};

/// One row of a CListUI: a container with selected and hot states whose background follows the
/// owning list's item settings.
class CListContainerElementUI : public CContainerUI {
    Q_OBJECT
  public:
    /// Creates an unselected row that takes focus on click.
    explicit CListContainerElementUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("ListContainerElement"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// The list that owns the row (nearest CListUI ancestor), or null.
    CListUI* GetOwner() const;
    /// The row's display index in its list, or -1.
    int GetIndex() const;
    /// True while the row is selected.
    bool IsSelected() const { return selected_; }
    /// True while the mouse is over the enabled row.
    bool IsHot() const { return hot_; }
    /// Selects the row (only it, through the owner when there is one).
    bool Select(bool select = true, bool notify = true);
    /// Adds the row to or removes it from a multiple selection.
    bool SelectMulti(bool select = true);
    /// Sets the state only; used by the owning list.
    void SetSelectedState(bool selected);
    /// When false the row passes mouse events on to its list.
    void SetMouseEnabled(bool enabled) { mouseEnabled_ = enabled; }
    /// False while the row passes mouse events to its list.
    bool IsMouseEnabled() const { return mouseEnabled_; }

    void DoPaint(QPainter& painter, const QRect& paint) override;

  protected:
    /// Paints the row background for its state.
    virtual void DrawItemBk(QPainter& painter, const QRect& paint);
    /// A left press selects the row; with the mouse turned off the list gets the press.
    void mousePressEvent(QMouseEvent* event) override;

    bool selected_ = false;
    bool hot_ = false;
    bool mouseEnabled_ = true;
};

}  // namespace rerov::ui
