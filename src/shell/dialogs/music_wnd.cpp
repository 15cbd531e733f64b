#include "shell/dialogs/music_wnd.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPointer>
#include <QSignalBlocker>
#include <algorithm>

#include "controls/content_scale.h"
#include "shell/dialogs/msg_wnd.h"

Q_LOGGING_CATEGORY(lcMusicWnd, "rerov.musicwnd", QtWarningMsg)

namespace rerov::shell {
namespace {

constexpr const char* kOptionNames[audio::kAudioStyleCount] = {
    "audio_select_tab1", "audio_select_tab2", "audio_select_tab3", "audio_select_tab4"};
constexpr const char* kNameEdits[audio::kAudioStyleCount] = {
    "audio_edit_name1", "audio_edit_name2", "audio_edit_name3", "audio_edit_name4"};
constexpr const char* kSliderNames[3] = {"audio_r_slider", "audio_g_slider", "audio_b_slider"};

// The position of `name` in `names`, -1 when it is none of them.
template <size_t N>
int IndexIn(const char* const (&names)[N], const QString& name) {
    for (size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(names[i])) return int(i);
    }
    return -1;
}

void ReportMissing(const char* name) {
    qCWarning(lcMusicWnd, "GetAudioLightInfo control is NULL (%s)", name);
}

}  // namespace

CMusicWnd::CMusicWnd(const audio::AudioStyleSet& styles, QWidget* owner)
    : ui::CWindowBase(owner), styles_(styles) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
}

void CMusicWnd::InitWindow() {
    // A layout without one of the controls still opens; that part of the set is then not
    // editable, and the log names what is missing.
    for (int i = 0; i < audio::kAudioStyleCount; ++i) {
        options_[size_t(i)] =
            qobject_cast<QAbstractButton*>(FindControl(QLatin1String(kOptionNames[i])));
        if (options_[size_t(i)] == nullptr) ReportMissing(kOptionNames[i]);
        names_[size_t(i)] = qobject_cast<QLineEdit*>(FindControl(QLatin1String(kNameEdits[i])));
        if (names_[size_t(i)] == nullptr) ReportMissing(kNameEdits[i]);
    }
    for (int c = 0; c < 3; ++c) {
        QAbstractSlider* slider =
            qobject_cast<QAbstractSlider*>(FindControl(QLatin1String(kSliderNames[c])));
        sliders_[size_t(c)] = slider;
        if (slider == nullptr) {
            ReportMissing(kSliderNames[c]);
            continue;
        }
        const QSignalBlocker quiet(slider);
        slider->setRange(0, audio::kAudioLevelMax);
    }
    const int selected = std::clamp(styles_.selected, 0, audio::kAudioStyleCount - 1);
    styles_.selected = selected;
    if (QAbstractButton* option = options_[size_t(selected)]) {
        const QSignalBlocker quiet(option);
        option->setChecked(true);
    }
    ShowLevels(selected);
    for (int i = 0; i < audio::kAudioStyleCount; ++i) {
        if (QLineEdit* edit = names_[size_t(i)]) {
            edit->setText(QString::fromStdString(styles_.names[size_t(i)]));
        }
    }
}

void CMusicWnd::SetDpi(int dpi) {
    const int supported = CMsgWnd::SupportedDpi(dpi);
    if (supported != dpi) qCWarning(lcMusicWnd, "SET_WND DPI SET ERROR");
    const qreal scale = static_cast<qreal>(supported) / kDesignDpi;
    setFixedSize(ui::ScaleLength(kDesignWidth, scale), ui::ScaleLength(kDesignHeight, scale));
    SetContentScale(scale);
}

int CMusicWnd::CheckedStyle() const {
    for (int i = 0; i < audio::kAudioStyleCount; ++i) {
        if (options_[size_t(i)] != nullptr && options_[size_t(i)]->isChecked()) return i;
    }
    return 0;
}

void CMusicWnd::ShowLevels(int style) {
    // Showing a style's levels is no edit: the sliders are set quietly.
    for (int c = 0; c < 3; ++c) {
        if (QAbstractSlider* slider = sliders_[size_t(c)]) {
            const QSignalBlocker quiet(slider);
            slider->setValue(styles_.levels[size_t(style)][size_t(c)]);
        }
    }
}

void CMusicWnd::OnNameLeft(int style) {
    QLineEdit* edit = names_[size_t(style)];
    if (edit == nullptr) return;
    if (edit->text().isEmpty()) {
        edit->setText(QString::fromStdString(audio::DefaultStyleName(style)));
    }
    styles_.names[size_t(style)] = edit->text().toStdString();
}

void CMusicWnd::Notify(const ui::Notification& msg) {
    const QString name = msg.SenderName();
    if (msg.type == ui::notify_type::kClick) {
        if (name.compare(QLatin1String("closebtn"), Qt::CaseInsensitive) == 0) {
            Close(0);
            return;
        }
        if (name.compare(QLatin1String("okbtn"), Qt::CaseInsensitive) == 0) {
            // A name typed and not yet left counts as left: what the edits show is what the
            // user confirms (the focus may not have moved, as when the window is not active).
            for (int i = 0; i < audio::kAudioStyleCount; ++i) {
                const QLineEdit* edit = names_[size_t(i)];
                if (edit != nullptr && edit->text().toStdString() != styles_.names[size_t(i)]) {
                    OnNameLeft(i);
                }
            }
            Close(kMusicConfirmed);
            return;
        }
    } else if (msg.type == ui::notify_type::kSelectChanged) {
        const int style = IndexIn(kOptionNames, name);
        if (style >= 0 && msg.wParam != 0) {
            styles_.selected = style;
            ShowLevels(style);
        }
    } else if (msg.type == ui::notify_type::kValueChanged) {
        const int channel = IndexIn(kSliderNames, name);
        if (channel >= 0 && sliders_[size_t(channel)] != nullptr) {
            styles_.levels[size_t(CheckedStyle())][size_t(channel)] =
                std::clamp(sliders_[size_t(channel)]->value(), 0, audio::kAudioLevelMax);
        }
    } else if (msg.type == ui::notify_type::kKillFocus || msg.type == ui::notify_type::kReturn) {
        const int style = IndexIn(kNameEdits, name);
        if (style >= 0) OnNameLeft(style);
    }
    ui::CWindowBase::Notify(msg);
}

int ShowMusicWindow(QWidget* owner, int dpi, audio::AudioStyleSet* styles,
                    const std::function<void(QWidget*)>& opened) {
    QPointer<CMusicWnd> window = new CMusicWnd(*styles, owner);
    if (!window->Create(QStringLiteral("  "),
                        QSize(CMusicWnd::kDesignWidth, CMusicWnd::kDesignHeight))) {
        qCWarning(lcMusicWnd, "the audio style window cannot be built from its layout");
        delete window;
        return 0;
    }
    window->SetDpi(dpi);
    window->CenterWindow();
    if (opened) opened(window);
    const int result = window->ShowModal();
    if (!window) return 0;  // the owner took it along
    if (result == kMusicConfirmed) *styles = window->Styles();
    delete window;
    return result;
}

}  // namespace rerov::shell
