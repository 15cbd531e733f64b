#pragma once
// What start-up needs of the skin folder before it builds any window.

#include <QString>

namespace rerov::startup {

// Checks that `skinDir` exists with a resource index "res.xml" that parses and maps
// "XML_MAIN" to a layout file that exists, and a style sheet "style.qss". False with a
// message that names the file at fault.
bool CheckSkin(const QString& skinDir, QString* error);

}  // namespace rerov::startup
