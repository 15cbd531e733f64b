#pragma once
// The log category of the language switch ("rerov.language").

#include <QLoggingCategory>

namespace rerov::shell {
Q_DECLARE_LOGGING_CATEGORY(lcLanguage)
}  // namespace rerov::shell
