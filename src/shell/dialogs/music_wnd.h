#pragma once
// The audio style window: the user names the four audio styles, picks one and sets its red,
// green and blue level (0 to 9). It works on a copy of the main window's style set; the
// main window takes the copy back only when the window closes with "okbtn".

#include <QString>
#include <array>
#include <functional>

#include "controls/window_base.h"
#include "shell/audio/audio_style_set.h"

class QAbstractButton;
class QAbstractSlider;
class QLineEdit;

namespace rerov::shell {

/// The style window's result when the user confirmed.
inline constexpr int kMusicConfirmed = 1;

/// The window (layout "music.xml"), opened modally by "music_setting_btn". UI thread only.
class CMusicWnd : public ui::CWindowBase {
    Q_OBJECT
  public:
    /// The window's size at 96 DPI.
    static constexpr int kDesignWidth = 369;
    static constexpr int kDesignHeight = 276;

    explicit CMusicWnd(const audio::AudioStyleSet& styles, QWidget* owner = nullptr);

    QString GetSkinFile() const override { return QStringLiteral("music.xml"); }
    QString GetWindowClassName() const override { return QStringLiteral("MusicWnd"); }
    void Notify(const ui::Notification& msg) override;

    /// The set as edited so far.
    const audio::AudioStyleSet& Styles() const { return styles_; }
    /// Scales the window to `dpi` (the main window's; an unsupported value becomes 96).
    void SetDpi(int dpi);

  protected:
    void InitWindow() override;

  private:
    // The first style whose option is checked; 0 when none is.
    int CheckedStyle() const;
    void ShowLevels(int style);
    void OnNameLeft(int style);

    audio::AudioStyleSet styles_;
    std::array<QAbstractButton*, audio::kAudioStyleCount> options_{};
    std::array<QAbstractSlider*, 3> sliders_{};
    std::array<QLineEdit*, audio::kAudioStyleCount> names_{};
};

/// Opens the style window over `owner` at `dpi` with a copy of `*styles`; when the user
/// confirms, `*styles` becomes the edited set and the result is kMusicConfirmed, otherwise
/// `*styles` is unchanged. `opened` (may be empty) gets the window before it shows.
int ShowMusicWindow(QWidget* owner, int dpi, audio::AudioStyleSet* styles,
                    const std::function<void(QWidget*)>& opened = {});

}  // namespace rerov::shell
