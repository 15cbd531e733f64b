#include "controls/redio_macro_button.h"

namespace rerov::ui {

bool CRedioMacroButtonUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("redioimage")) {
        redioImage_ = value;
        return true;
    }
    return CButtonUI::SetAttribute(name, value);
}

}  // namespace rerov::ui
