#include "shell/settings/software_version.h"

#include <limits>

#include "shell/dialogs/about_wnd.h"

namespace rerov::shell {

int VersionNumberFromText(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char('.'));
    long long value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) break;
        value = value * 10 + (c.unicode() - '0');
        if (value > std::numeric_limits<int>::max()) return 0;
    }
    return static_cast<int>(value);
}

int SoftwareVersion() { return VersionNumberFromText(ProgramVersion()); }

QString VersionText(int number) {
    if (number < 10) return QString::number(number);
    const QString digits = QString::number(number);
    QStringList parts;
    for (const QChar c : digits) parts << QString(c);
    return parts.join(QLatin1Char('.'));
}

}  // namespace rerov::shell
