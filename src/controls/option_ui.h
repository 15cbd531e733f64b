#pragma once

#include "controls/button_base.h"

namespace rerov::ui {

/// An option: a button with a selected state ("selected"), its own images for it
/// ("selectedimage", "selectedhotimage") and a group ("group") inside which at most one option
/// of the window is selected. A change of the state sends "selectchanged" unless told not to.
class COptionUI : public CButtonUI {
    Q_OBJECT
  public:
    using CButtonUI::CButtonUI;
    QString GetClass() const override { return QStringLiteral("Option"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// Selects or deselects; selecting one option of a group deselects the others of the group
    /// in the same window. Sends "selectchanged" for each changed option when `notify`.
    void Selected(bool selected, bool notify = true);
    /// True while selected.
    bool IsSelected() const { return selected_; }
    /// The group name (empty: the option toggles on its own).
    QString GetGroup() const { return group_; }
    /// Moves the option into a group; when selected, the others of that group are deselected.
    void SetGroup(const QString& group);
    /// Sends "click", then selects (in a group) or toggles (without one).
    bool Activate() override;

  protected:
    void PaintStatusImage(QPainter& painter, const QRect& paint) override;

  private:
    bool selected_ = false;
    QString group_;
    QString selectedImage_;
    QString selectedHotImage_;
};

/// A container that shows one of its child controls at a time, each filling it.
class CTabLayoutUI : public CContainerUI {
    Q_OBJECT
  public:
    using CContainerUI::CContainerUI;
    QString GetClass() const override { return QStringLiteral("TabLayout"); }
    bool SetAttribute(const QString& name, const QString& value) override;
    /// Adds a child; it stays hidden unless it is at the selected index.
    void Add(QWidget* child) override;

    /// Shows child `index` and hides the others; false for an index out of range.
    bool SelectItem(int index);
    /// The index of the shown child (0 at start).
    int GetCurSel() const { return current_; }
    /// Every child fills the tab layout.
    bool PlacesChildren() const override { return true; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

  private:
    void Apply();
    int current_ = 0;
};

/// A container whose children line up left to right.
class CHorizontalLayoutUI : public CContainerUI {
    Q_OBJECT
  public:
    using CContainerUI::CContainerUI;
    QString GetClass() const override { return QStringLiteral("HorizontalLayout"); }
    /// Adds a child at the right end.
    void Add(QWidget* child) override;
};

}  // namespace rerov::ui
