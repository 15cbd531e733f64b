#include "shell/routes/audio_routes.h"

#include <QLabel>

#include "controls/control_base.h"
#include "shell/audio/audio_bridge.h"
#include "shell/main_wnd.h"

namespace rerov::shell {
namespace {

// A slider of the levels' colour: its command to the companion, its label and the label's
// letter. No layout of the program has these sliders yet; the rows are here for one that
// does.
struct ColourSliderRow {
    const char* slider;
    ipc::AudioCommand command;
    const char* label;
    const char* letter;
};
constexpr ColourSliderRow kColourSliders[] = {
    {"R_light_slider", ipc::AudioCommand::Red, "R_light_label", "R"},
    {"G_light_slider", ipc::AudioCommand::Green, "G_light_label", "G"},
    {"B_light_slider", ipc::AudioCommand::Blue, "B_light_label", "B"},
};

void SetLabel(const CMainWnd& window, const char* name, const QString& text) {
    QWidget* control = window.FindControl(QLatin1String(name));
    if (auto* label = qobject_cast<ui::CControlUI*>(control)) {
        label->SetText(text);
    } else if (auto* plain = qobject_cast<QLabel*>(control)) {
        plain->setText(text);
    }
}

}  // namespace

void AddAudioRoutes(CMainWnd& window) {
    window.Routes(ui::notify_type::kClick)
        .On(ui::notify_type::kClick, QStringLiteral("music_setting_btn"),
            [&window](const ui::Notification&) { window.OpenMusicWindow(); });
    ui::NotifyPump& sliders = window.Routes(ui::notify_type::kValueChanged);
    for (const ColourSliderRow& row : kColourSliders) {
        sliders.On(ui::notify_type::kValueChanged, QLatin1String(row.slider),
                   [&window, row](const ui::Notification& msg) {
                       const int value = int(msg.wParam);
                       window.Audio().SendColourCommand(row.command, value);
                       SetLabel(window, row.label,
                                QStringLiteral("%1 %2").arg(QLatin1String(row.letter)).arg(value));
                   });
    }
}

}  // namespace rerov::shell
