#pragma once
// CSkinFrame: the pop-up under the main window's skin button where the user picks the
// window's background: an image, a colour, the default, or an image of their own.

#include <QSize>
#include <QString>
#include <functional>

#include "controls/window_base.h"

namespace rerov::shell {

/// What the frame needs from around it; tests replace the file dialog and the message box.
struct SkinFrameServices {
    /// Asks for the user's own image; an empty path means the user cancelled.
    std::function<QString(QWidget* parent)> chooseFile;
    /// Tells the user why an image was refused (a language key).
    std::function<void(const QString& key)> showMessage;
    /// "main.ini" (empty: nothing is written).
    QString iniPath;
    /// Where the copy of the user's own image goes.
    QString userImageDir;
};

/// The open-file dialog of the user's own image: PNG files first, then all files.
QString ChooseBackgroundFile(QWidget* parent);

/// The pop-up (layout "skin.xml"). It closes when it loses the focus and deletes itself
/// when closed. UI thread only.
class CSkinFrame : public ui::CWindowBase {
    Q_OBJECT
  public:
    /// The frame's size at 96 DPI.
    static constexpr int kDesignWidth = 332;
    static constexpr int kDesignHeight = 248;

    /// A frame for `owner`'s `skinButton` at the owner's `dpi`; Open builds and shows it.
    CSkinFrame(QWidget* owner, QWidget* skinButton, int dpi, SkinFrameServices services);

    QString GetSkinFile() const override { return QStringLiteral("skin.xml"); }
    QString GetWindowClassName() const override { return QStringLiteral("UISkinFrame"); }
    void Notify(const ui::Notification& msg) override;

    /// Builds the layout, places the frame under the button and shows it; false when the
    /// layout cannot be built.
    bool Open();

    /// Where a frame of `frameSize` goes: its top-right corner at the bottom-right corner of
    /// `button`, in screen coordinates.
    static QPoint PlaceUnder(const QWidget* button, const QSize& frameSize);

  private:
    void OnImage(const QString& image);
    void OnColour(quint32 argb);
    void OnReset();
    void OnCustom();
    void SelectPage(int page);

    QWidget* owner_;
    QWidget* skinButton_;
    int dpi_;
    SkinFrameServices services_;
};

/// Opens the frame under `skinButton` of `owner`; the frame owns itself from then on.
/// Returns the frame, or null when its layout is missing.
CSkinFrame* OpenSkinFrame(QWidget* owner, QWidget* skinButton, int dpi, SkinFrameServices services);

}  // namespace rerov::shell
