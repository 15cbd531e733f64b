#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

namespace rerov::ui {

/// Creates a control with its default constructor.
using ControlCreator = std::function<QWidget*()>;

/// Registry of control classes by the class names that layouts use ("CCircleProgressUI").
/// Names are compared exactly. UI thread only.
class ControlFactory {
  public:
    /// The factory shared by every layout.
    static ControlFactory& Instance();

    /// Registers (or replaces) a class name.
    void RegistControl(const QString& className, ControlCreator creator);
    /// A new control of a registered class, or null for an unknown class.
    QWidget* CreateControl(const QString& className) const;
    /// True when the class name is registered.
    bool IsRegistered(const QString& className) const { return creators_.contains(className); }

  private:
    QHash<QString, ControlCreator> creators_;
};

/// One row of a window's tag table: a tag of the layouts (compared case-insensitively) and
/// either a creator or the resource name of a layout whose root becomes the control.
struct TagRow {
    QString tag;
    ControlCreator create;  // empty for a layout-built control
    QString layout;         // resource name, e.g. "XML\\CustomControlXML\\DeviceProfile.xml"
};

/// A tag table that windows use in their CreateControl; rows are tried in order.
class TagTable {
  public:
    /// An empty table.
    TagTable() = default;
    /// A table of the given rows.
    explicit TagTable(std::vector<TagRow> rows) : rows_(std::move(rows)) {}
    /// Appends a row.
    void Add(TagRow row) { rows_.push_back(std::move(row)); }
    /// The control for `tag`, or null when no row matches (or its layout cannot be built).
    QWidget* Create(const QString& tag) const;

  private:
    std::vector<TagRow> rows_;
};

/// The tag rows of the toolkit's own custom controls ("CircleProgress", "SelectPanel",
/// "DeviceKeyButton", "HandImgButton", "AudioRecord", "HandImgSelectButton",
/// "RedioMacroButton", "ComboEditContainerElement"), for windows to start their table with.
std::vector<TagRow> CustomControlTagRows();

/// Registers the toolkit's own custom control classes with the factory (once is enough).
void RegisterCustomControls();

}  // namespace rerov::ui
