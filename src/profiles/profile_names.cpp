#include "profiles/profile_names.h"

#include <QString>

namespace rerov {

bool SameProfileName(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool IsBlankProfileName(const std::string& name) {
    return QString::fromStdString(name).trimmed().isEmpty();
}

bool ProfileNameInUse(const std::vector<std::string>& names, const std::string& name, int except) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (static_cast<int>(i) != except && SameProfileName(names[i], name)) return true;
    }
    return false;
}

std::string AddedProfileName(const std::vector<std::string>& names) {
    // At most names.size() numbers can be taken, so this ends by names.size() + 1.
    for (std::size_t n = 1;; ++n) {
        std::string candidate = "profile" + std::to_string(n);
        if (!ProfileNameInUse(names, candidate)) return candidate;
    }
}

std::string CopiedProfileName(const std::string& source, const std::vector<std::string>& names) {
    std::string candidate = source + " copy";
    while (ProfileNameInUse(names, candidate)) candidate += " copy";
    return candidate;
}

std::string ImportedProfileName(const std::string& title, const std::vector<std::string>& names) {
    std::string candidate = title;
    for (int counter = 1; ProfileNameInUse(names, candidate); ++counter) {
        candidate += "(" + std::to_string(counter) + ")";
    }
    return candidate;
}

}  // namespace rerov
