#pragma once
// The program's message box: every confirmation and error prompt goes through it, as a
// modal window of the skin, so the user always answers the program's own window.

#include <QString>

#include "controls/window_base.h"

class QWidget;

namespace rerov::shell {

/// What the message text is: a language key resolved in the current language, or the text
/// itself.
enum class MsgText { Literal, LanguageKey };

/// The buttons of a message box: only "confirm_btn", or "confirm_btn" and "cancel_btn".
enum class MsgButtons { ConfirmOnly = 0, ConfirmCancel = 1 };

/// The answer of a message box: 1 for "confirm_btn", 0 for "cancel_btn" and "closebtn".
inline constexpr int kMsgConfirmed = 1;
inline constexpr int kMsgDeclined = 0;

/// The DPI a window is designed at; message boxes take the main window's.
inline constexpr int kDesignDpi = 96;

/// The message box window (layout "XML_MSG"). Created by ShowMessageBox, which owns it for
/// the length of its modal loop. UI thread only.
class CMsgWnd : public ui::CWindowBase {
    Q_OBJECT
  public:
    /// The box's size at 96 DPI.
    static constexpr int kDesignWidth = 420;
    static constexpr int kDesignHeight = 210;

    explicit CMsgWnd(QWidget* owner = nullptr);

    QString GetSkinFile() const override { return QStringLiteral("XML_MSG"); }
    QString GetWindowClassName() const override { return QStringLiteral("MsgWnd"); }
    void Notify(const ui::Notification& msg) override;

    /// Sets "MessageTitle"; an empty title keeps the layout's own.
    void SetTitle(const QString& title);
    /// Sets "MessageText", as a language key or as literal text; an empty text keeps the
    /// layout's own.
    void SetMessage(const QString& text, MsgText kind);
    /// Shows "cancel_btn" only for ConfirmCancel; "confirm_btn" always.
    void SetButtons(MsgButtons buttons);
    /// Takes one of the supported DPI values (48, 72, 96, 120, 144, 168, 192; any other
    /// becomes 96) and scales the box to it; an unchanged value does nothing.
    void SetDpi(int dpi);
    /// The DPI the box is drawn at.
    int Dpi() const { return dpi_; }

    /// `dpi` when it is a supported value, else 96.
    static int SupportedDpi(int dpi);

  protected:
    void InitWindow() override;

  private:
    int dpi_ = kDesignDpi;
    QWidget* closeButton_ = nullptr;
};

/// Shows a modal message box owned by `owner` (may be null) and returns 1 when the user
/// confirmed, 0 when the user cancelled or closed it (also when the layout is missing, so
/// nothing is confirmed that the user never saw). `title` and `text` may be empty (the
/// layout's own texts stay); `dpi` is the owner's.
int ShowMessageBox(QWidget* owner, const QString& title, const QString& text, int dpi,
                   MsgText textKind, MsgButtons buttons);

/// A confirmation with the text of language key `key` and both buttons: true when the user
/// confirmed.
bool ConfirmMessage(QWidget* owner, const QString& key, int dpi);

/// A notice with the text of language key `key` and only the confirm button.
void ShowMessage(QWidget* owner, const QString& key, int dpi);

/// The report after a download to a device: nothing for 0, "message_text_7" for -1, any
/// other result as "message_text_16" formatted with the number.
void ShowDownloadReport(QWidget* owner, int result, int dpi);

}  // namespace rerov::shell
