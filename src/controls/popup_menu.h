#pragma once

#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

namespace rerov::ui {

/// Alignment flags of a pop-up menu relative to its point.
enum MenuAlignment { kMenuLeft = 2, kMenuTop = 4, kMenuRight = 8, kMenuBottom = 16 };

/// The top-left corner of a menu of `size` opened at `point` with `alignment`: "left" puts the
/// menu's left edge at the point (right: its right edge), "top" its top edge (bottom: its
/// bottom edge). Without a horizontal or vertical flag that side defaults to left or top.
QPoint AlignedMenuPosition(const QPoint& point, const QSize& size, int alignment);

/// A pop-up menu built from menu data of the skin:
///   <Menu><MenuElement name="about_menu" text="%[about_menu_text]"/><Separator/>
///         <Menu text="..."> ...nested... </Menu></Menu>
/// Choosing an item emits itemClicked with the item's name. UI thread only.
class PopupMenu : public QObject {
    Q_OBJECT
  public:
    /// An empty menu; Load fills it.
    explicit PopupMenu(QObject* parent = nullptr);
    ~PopupMenu() override;

    /// Loads the menu file (skin-relative or absolute); false when it is missing or malformed.
    bool Load(const QString& file);
    /// Loads menu data from memory.
    bool LoadFromData(const QByteArray& xml);
    /// Opens the menu at a screen point with MenuAlignment flags; does not block.
    void Popup(const QPoint& point, int alignment);
    /// Closes the menu when it is open.
    void Close();
    /// The Qt menu (null before a successful load).
    QMenu* Menu() const { return menu_; }

  signals:
    /// The user chose the item named `name`.
    void itemClicked(const QString& name);

  private:
    QPointer<QMenu> menu_;
};

}  // namespace rerov::ui
