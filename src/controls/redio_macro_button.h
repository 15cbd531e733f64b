#pragma once

#include "controls/button_base.h"

namespace rerov::ui {

/// A button that keeps the image name "redioimage" for its page and otherwise is a button.
class CRedioMacroButtonUI : public CButtonUI {
    Q_OBJECT
  public:
    using CButtonUI::CButtonUI;
    QString GetClass() const override { return QStringLiteral("RedioMacroButton"); }
    bool SetAttribute(const QString& name, const QString& value) override;
    /// The "redioimage" name.
    QString GetRedioImage() const { return redioImage_; }

  private:
    QString redioImage_;
};

}  // namespace rerov::ui
