#pragma once

#include <QHash>
#include <QString>

namespace rerov::ui {

/// The skin folder and its resource index "res.xml", which maps resource names (the main
/// layout is asked for as "XML_MAIN") to layout files:
///   <Resource><Layout name="XML_MAIN" file="main.ui"/>...</Resource>
/// UI thread only.
class ResourceIndex {
  public:
    /// The index shared by every window.
    static ResourceIndex& Instance();

    /// Points at a skin folder and loads its "res.xml" when present. Returns false when the
    /// folder does not exist or "res.xml" exists but does not parse.
    bool SetSkinDir(const QString& dir);
    /// The current skin folder (absolute, without trailing slash).
    QString SkinDir() const { return skinDir_; }

    /// Adds or replaces one mapping.
    void AddLayout(const QString& name, const QString& file);

    /// The absolute path of a resource: a name in the index, else a path relative to the skin
    /// folder. Backslashes are taken as folder separators, and a ".xml" layout name that has
    /// no file falls back to the ".ui" file of the same name.
    QString LayoutPath(const QString& name) const;
    /// The absolute path of a skin file (images, language files); absolute paths pass through.
    QString SkinPath(const QString& file) const;

  private:
    QString skinDir_;
    QHash<QString, QString> layouts_;  // key: lower-case name with '/' separators
};

/// The "skin" folder beside the running program.
QString DefaultSkinDir();

}  // namespace rerov::ui
