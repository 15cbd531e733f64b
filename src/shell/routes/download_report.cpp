#include "shell/routes/download_report.h"

#include <QString>

#include "shell/dialogs/msg_wnd.h"

namespace rerov::shell {

void ShowKeyboardDownloadReport(QWidget* owner, const DownloadReport& report, int dpi) {
    if (report.Failed()) {
        ShowMessage(owner, QLatin1String(kDownloadRefusedKey), dpi);
        return;
    }
    ShowDownloadReport(owner, report.report, dpi);
}

}  // namespace rerov::shell
