#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

class QPainter;

namespace rerov::ui {

/// The base of every control of the toolkit: string attributes (SetAttribute), background
/// colour and image, border, text, user data, and a DuiLib-style painting order. Attributes a
/// control does not know are passed to its base class. UI thread only.
class CControlUI : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ GetText WRITE SetText)
  public:
    /// Creates a control with the default font and no colours.
    explicit CControlUI(QWidget* parent = nullptr);

    /// The class name layouts know the control by.
    virtual QString GetClass() const { return QStringLiteral("Control"); }
    /// Applies one attribute; returns false for a name no class of the chain knows.
    virtual bool SetAttribute(const QString& name, const QString& value);

    /// The control's text (already resolved from a language key).
    QString GetText() const { return text_; }
    /// Sets the text and repaints when it changed.
    virtual void SetText(const QString& text);
    /// Free text the pages keep with a control ("userdata").
    QString GetUserData() const { return userData_; }
    /// Replaces the user data.
    void SetUserData(const QString& data) { userData_ = data; }

    /// Background colour 0xAARRGGBB (0: none).
    quint32 GetBkColor() const { return bkColor_; }
    /// Background colour 0xAARRGGBB; repaints.
    void SetBkColor(quint32 argb);
    /// Fore colour 0xAARRGGBB.
    quint32 GetForeColor() const { return foreColor_; }
    /// Fore colour 0xAARRGGBB; repaints.
    void SetForeColor(quint32 argb);
    /// Background image description.
    QString GetBkImage() const { return bkImage_; }
    /// Background image description; repaints.
    void SetBkImage(const QString& image);
    /// True when the background image is a plain file drawn to cover the control (aspect
    /// kept, overflow cut off: layout attribute "bkfit" = "cover").
    bool IsBkImageCover() const { return bkCover_; }
    /// Text colour 0xAARRGGBB.
    quint32 GetTextColor() const { return textColor_; }
    /// Sets the text colour; repaints.
    void SetTextColor(quint32 argb);
    /// The font of the text (layout font index -1 by default).
    QFont GetFont() const { return font_; }
    /// Draws the text at the layout font's size times `scale` (the content scale of the
    /// window, or the scale of the device picture the control sits in).
    void SetFontScale(qreal scale);
    /// Takes the application font's faces again (after a language chose others), keeping
    /// the layout font's size and style.
    void RefreshFont();
    /// The factor the font size is drawn at (1 by design).
    qreal FontScale() const { return fontScale_; }

    /// True when the control sets its children's geometry itself (tabs, pictures), so a
    /// scaling pass leaves their positions to it.
    virtual bool PlacesChildren() const { return false; }
    /// True when the control scales its children itself (a device picture fits them to its
    /// room), so a scaling pass of the window stops at it.
    virtual bool ScalesChildren() const { return false; }

    /// True when the layout enabled the control's context menu ("menu" = "true").
    bool IsContextMenuUsed() const { return contextMenu_; }

    /// The colour as this control draws it; no colour adjustment is applied in this skin.
    quint32 GetAdjustColor(quint32 argb) const { return argb; }

    /// Runs DoInit once; the layout builder calls it after the attributes, and a control made by
    /// code gets it before it is first shown.
    void Init();

    /// Activation as by a click; returns false when the control is disabled or hidden.
    virtual bool Activate();

    /// Paints the control into `painter` (widget coordinates) limited to `paint`.
    virtual void DoPaint(QPainter& painter, const QRect& paint);

  protected:
    virtual void PaintBkColor(QPainter& painter, const QRect& paint);
    virtual void PaintBkImage(QPainter& painter, const QRect& paint);
    virtual void PaintStatusImage(QPainter& painter, const QRect& paint);
    virtual void PaintForeColor(QPainter& painter, const QRect& paint);
    virtual void PaintForeImage(QPainter& painter, const QRect& paint);
    virtual void PaintText(QPainter& painter, const QRect& paint);
    virtual void PaintBorder(QPainter& painter, const QRect& paint);
    /// One-time set-up once the control has its attributes; nothing by default.
    virtual void DoInit() {}
    /// One of the control's timers fired (see SetControlTimer).
    virtual void OnControlTimer(int id);

    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

    QString text_;
    QString userData_;
    QString bkImage_;
    QString foreImage_;
    quint32 bkColor_ = 0;
    quint32 foreColor_ = 0;
    quint32 borderColor_ = 0;
    int borderSize_ = 0;
    quint32 textColor_ = 0xFFE6E8EE;
    quint32 disabledTextColor_ = 0xFF6C7280;
    int textAlign_ = Qt::AlignCenter;
    QFont font_;
    int fontIndex_ = -1;
    qreal fontScale_ = 1.0;
    bool contextMenu_ = false;
    bool bkCover_ = false;

  private:
    bool inited_ = false;
};

/// A control that shows its text.
class CLabelUI : public CControlUI {
    Q_OBJECT
  public:
    using CControlUI::CControlUI;
    QString GetClass() const override { return QStringLiteral("Label"); }

  protected:
    void PaintText(QPainter& painter, const QRect& paint) override;
};

/// A control that holds other controls.
class CContainerUI : public CControlUI {
    Q_OBJECT
  public:
    using CControlUI::CControlUI;
    QString GetClass() const override { return QStringLiteral("Container"); }

    /// Adds a child control: into the container's layout when it has one, else at its position.
    virtual void Add(QWidget* child);
    /// Adds a child at a fixed rectangle, outside any layout ("float").
    void AddFloat(QWidget* child, const QRect& rect);
    /// Deletes every child control.
    void RemoveAll();
    /// The direct child controls in order.
    QList<QWidget*> Items() const;
};

/// A container whose children stack top to bottom.
class CVerticalLayoutUI : public CContainerUI {
    Q_OBJECT
  public:
    using CContainerUI::CContainerUI;
    QString GetClass() const override { return QStringLiteral("VerticalLayout"); }
    void Add(QWidget* child) override;
};

/// Applies the dynamic properties of every CControlUI in the subtree of `root` as attributes
/// (the way layouts carry "lightimage", "bkcolor" and the like).
void ApplyDynamicAttributes(QWidget* root);

/// Prefix under which the layout builder passes attributes whose names QWidget's own
/// properties shadow ("font", "height", ...); ApplyDynamicAttributes strips it.
inline constexpr const char* kShadowedAttributePrefix = "layoutattr_";

}  // namespace rerov::ui
