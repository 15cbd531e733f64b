#pragma once

#include <QVector>

#include "controls/control_base.h"

namespace rerov::ui {

/// A pie (view 0) or histogram (view 1) of (label, value) items. Attributes: "view" ("pie" or
/// "histpgram", compared case-sensitively), "shadowimage", "shadowimageheight",
/// "pillarimage", "pillarimagewidth", "showhtml", "showtext", "font". Its class name is the
/// base control's.
class CChartViewUI : public CControlUI {
    Q_OBJECT
  public:
    using CControlUI::CControlUI;
    bool SetAttribute(const QString& name, const QString& value) override;

    enum View { kPie = 0, kHistogram = 1 };
    /// The view: kPie or kHistogram.
    int GetView() const { return view_; }
    /// The "shadowimage" (cleared when it could not be drawn).
    QString GetShadowImage() const { return shadowImage_; }
    /// The "shadowimageheight".
    int GetShadowImageHeight() const { return shadowHeight_; }
    /// The "pillarimage".
    QString GetPillarImage() const { return pillarImage_; }
    /// The "pillarimagewidth".
    int GetPillarImageWidth() const { return pillarWidth_; }
    /// The "showhtml" flag.
    bool IsShowHtml() const { return showHtml_; }
    /// The "showtext" flag (true at start).
    bool IsShowText() const { return showText_; }
    /// The "font" index (-1 at start).
    int GetFontIndex() const { return chartFont_; }

    /// Appends one item; repaints.
    void AddItem(const QString& label, double value);
    /// The number of items.
    int ItemCount() const { return static_cast<int>(items_.size()); }

    void DoPaint(QPainter& painter, const QRect& paint) override;

    /// Height of the text strip under the histogram when text is shown.
    static constexpr int kTextStrip = 25;

  private:
    void PaintPie(QPainter& painter);
    void PaintHistogram(QPainter& painter, const QRect& paint);

    struct Item {
        QString label;
        double value;
    };
    int view_ = kPie;
    QString shadowImage_;
    int shadowHeight_ = 0;
    QString pillarImage_;
    int pillarWidth_ = 0;
    bool showHtml_ = false;
    bool showText_ = true;
    int chartFont_ = -1;
    QVector<Item> items_;
};

}  // namespace rerov::ui
