#pragma once

#include "controls/button_base.h"

namespace rerov::ui {

/// One key of a device picture: the button's own images, then (when lit) the "lightimage"
/// tinted with the light colour at the light level, then the unset and set marks. Setting the
/// light only stores values: the page repaints the whole panel once per frame.
class CDeviceKeyButtonUI : public CButtonUI {
    Q_OBJECT
  public:
    /// Creates an unlit key with both marks hidden.
    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("DeviceKeyButton"); }
    bool SetAttribute(const QString& name, const QString& value) override;

    /// Stores colour (byte 0 red, byte 1 green, byte 2 blue, as in the pages' light colour list),
    /// level (0..255) and on flag of the light; no repaint.
    void SetKeyLight(quint32 colour, int level, int on) {
        lightColour_ = colour;
        lightLevel_ = level;
        lightOn_ = on;
    }
    /// Light colour 0xRRGGBB (255 at start).
    quint32 GetLightColour() const { return lightColour_; }
    /// Light level (200 at start).
    int GetLightLevel() const { return lightLevel_; }
    /// Light on flag (0 at start).
    int GetLightOn() const { return lightOn_; }

    /// 0 shows the key-set mark; repaints when it changed.
    void SetKeySetMarkHidden(int hidden);
    /// The set-mark hidden flag.
    int GetKeySetMarkHidden() const { return setMarkHidden_; }
    /// 0 shows the key-unset mark; repaints when it changed.
    void SetKeyUnsetMarkHidden(int hidden);
    /// The unset-mark hidden flag.
    int GetKeyUnsetMarkHidden() const { return unsetMarkHidden_; }
    /// A mark the pages keep with the key; not drawn. Repaints when it changed.
    void SetPendingMark(int pending);
    /// The pending mark.
    int GetPendingMark() const { return pendingMark_; }
    /// Set by the select panel when a drag ends; no repaint.
    void SetKeySelected(int selected) { selected_ = selected; }
    /// 1 when the last drag of the panel touched the key.
    int IsKeySelected() const { return selected_; }

    /// The "lightimage" description.
    QString GetLightImage() const { return lightImage_; }
    /// The "keysetimage" description.
    QString GetKeySetImage() const { return keySetImage_; }
    /// The "keyunsetimage" description.
    QString GetKeyUnsetImage() const { return keyUnsetImage_; }

  protected:
    void PaintStatusImage(QPainter& painter, const QRect& paint) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QString lightImage_;
    QString keySetImage_;
    QString keyUnsetImage_;
    quint32 lightColour_ = 255;
    int lightLevel_ = 200;
    int lightOn_ = 0;
    int setMarkHidden_ = 1;
    int unsetMarkHidden_ = 1;
    int pendingMark_ = 0;
    int selected_ = 0;
};

}  // namespace rerov::ui
