#pragma once

#include <QString>
#include <QWidget>

namespace rerov::ui {

/// Creates controls by the tag names of a window's layouts (a window's CreateControl).
class IDialogBuilderCallback {
  public:
    virtual ~IDialogBuilderCallback() = default;
    /// A new control for `tag`, or null when the window does not know the tag.
    virtual QWidget* CreateControl(const QString& tag) = 0;
};

/// Builds a control tree from a Qt Designer layout of the skin. Class names are resolved by the
/// control factory, then by the callback, then as Qt's own widgets; an unknown class yields no
/// control. After building, custom controls receive their layout attributes (dynamic
/// properties) through SetAttribute, texts written "%[key]" are resolved as language keys,
/// and each custom control is initialised (DoInit).
class LayoutBuilder {
  public:
    /// Builds the layout named `resource` (a resource index name or a skin-relative path) under
    /// `parent`. Returns the root control, or null when the file is missing or malformed.
    QWidget* Create(const QString& resource, IDialogBuilderCallback* callback, QWidget* parent);
    /// Builds from layout data in memory; same rules as Create.
    QWidget* CreateFromData(const QByteArray& ui, IDialogBuilderCallback* callback,
                            QWidget* parent);
    /// Why the last build failed (empty after a success).
    QString ErrorString() const { return error_; }

    /// Resolves "%[key]" texts in the subtree of `root` and binds them for Retranslate.
    static void BindLanguageTexts(QWidget* root);

  private:
    QString error_;
};

}  // namespace rerov::ui
