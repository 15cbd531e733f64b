#pragma once
// Scaling of a control tree that was designed at 96 DPI. The tree's design values (fixed and
// limiting sizes, positions of controls placed by coordinates, layout margins and spacing,
// font sizes) are remembered the first time a control is scaled, so scaling again with
// another factor always starts from the design and never compounds.

#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

namespace rerov::ui {

/// `design` pixels at `scale`, rounded to the nearest pixel.
int ScaleLength(int design, qreal scale);
/// A design rectangle at `scale`: its edges are scaled, so neighbours that touch in the
/// design still touch and equal gaps stay equal.
QRect ScaleRect(const QRect& design, qreal scale);
/// A size limit at `scale`; the "no limit" value of Qt stays unlimited.
QSize ScaleSizeLimit(const QSize& design, qreal scale);

/// Scales `root` and its subtree by `scale`. Controls that lay out their own children from
/// design coordinates (device pictures) get their own size limits scaled, and place and
/// scale their children themselves. The root's own position is left to its parent when
/// `placeRoot` is false.
void ScaleWidgetTree(QWidget* root, qreal scale, bool placeRoot = true);

/// The design rectangle of a control placed by coordinates (its geometry at first sight).
QRect DesignGeometry(QWidget* widget);

/// A style sheet with every length in pixels ("14px") multiplied by `scale`.
QString ScaleStyleSheet(const QString& sheet, qreal scale);

}  // namespace rerov::ui
