#include "controls/content_scale.h"

#include <QGridLayout>
#include <QLayout>
#include <QRegularExpression>
#include <QSpacerItem>
#include <QVariant>
#include <QWidget>
#include <cmath>

#include "controls/control_base.h"

namespace rerov::ui {
namespace {

// Where the design values are kept: dynamic properties of the widget or layout ('_' names
// are not layout attributes).
constexpr const char* kDesignGeometry = "_design_geometry";
constexpr const char* kDesignMinimum = "_design_minimum";
constexpr const char* kDesignMaximum = "_design_maximum";
constexpr const char* kDesignMargins = "_design_margins";
constexpr const char* kDesignSpacing = "_design_spacing";
constexpr const char* kDesignSpacerPrefix = "_design_spacer_";

template <typename T, typename Read>
T Design(QObject* object, const char* name, Read read) {
    const QVariant stored = object->property(name);
    if (stored.isValid()) return stored.value<T>();
    const T value = read();
    object->setProperty(name, QVariant::fromValue(value));
    return value;
}

bool LayoutHolds(const QLayout* layout, const QWidget* widget) {
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget) return true;
        if (item->layout() != nullptr && LayoutHolds(item->layout(), widget)) return true;
    }
    return false;
}

// True when something else than its own geometry decides where `widget` sits: a layout, a
// control that places its children, or the window system for a top-level widget.
bool PlacedByOthers(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (parent == nullptr || widget->isWindow()) return true;
    if (parent->layout() != nullptr && LayoutHolds(parent->layout(), widget)) return true;
    const auto* control = qobject_cast<const CControlUI*>(parent);
    return control != nullptr && control->PlacesChildren();
}

void ScaleLayout(QLayout* layout, qreal scale) {
    const QRect margins = Design<QRect>(layout, kDesignMargins, [layout] {
        const QMargins m = layout->contentsMargins();
        return QRect(m.left(), m.top(), m.right(), m.bottom());  // four numbers, not a rect
    });
    layout->setContentsMargins(ScaleLength(margins.x(), scale), ScaleLength(margins.y(), scale),
                               ScaleLength(margins.width(), scale),
                               ScaleLength(margins.height(), scale));
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const QSize spacing = Design<QSize>(grid, kDesignSpacing, [grid] {
            return QSize(grid->horizontalSpacing(), grid->verticalSpacing());
        });
        if (spacing.width() >= 0) grid->setHorizontalSpacing(ScaleLength(spacing.width(), scale));
        if (spacing.height() >= 0) grid->setVerticalSpacing(ScaleLength(spacing.height(), scale));
    } else {
        const int spacing =
            Design<int>(layout, kDesignSpacing, [layout] { return layout->spacing(); });
        if (spacing >= 0) layout->setSpacing(ScaleLength(spacing, scale));
    }
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QSpacerItem* spacer = item->spacerItem()) {
            const QByteArray name = QByteArray(kDesignSpacerPrefix) + QByteArray::number(i);
            const QSize hint =
                Design<QSize>(layout, name.constData(), [spacer] { return spacer->sizeHint(); });
            const QSizePolicy policy = spacer->sizePolicy();
            spacer->changeSize(ScaleLength(hint.width(), scale), ScaleLength(hint.height(), scale),
                               policy.horizontalPolicy(), policy.verticalPolicy());
        } else if (QLayout* inner = item->layout()) {
            ScaleLayout(inner, scale);
        }
    }
    layout->invalidate();
}

void ScaleOne(QWidget* widget, qreal scale, bool place) {
    const QSize minimum =
        Design<QSize>(widget, kDesignMinimum, [widget] { return widget->minimumSize(); });
    const QSize maximum =
        Design<QSize>(widget, kDesignMaximum, [widget] { return widget->maximumSize(); });
    widget->setMinimumSize(ScaleSizeLimit(minimum, scale));
    widget->setMaximumSize(ScaleSizeLimit(maximum, scale));
    if (place && !PlacedByOthers(widget)) {
        widget->setGeometry(ScaleRect(DesignGeometry(widget), scale));
    }
    if (QLayout* layout = widget->layout()) ScaleLayout(layout, scale);
    if (auto* control = qobject_cast<CControlUI*>(widget)) control->SetFontScale(scale);
}

}  // namespace

int ScaleLength(int design, qreal scale) { return int(std::lround(design * scale)); }

QRect ScaleRect(const QRect& design, qreal scale) {
    const int left = ScaleLength(design.left(), scale);
    const int top = ScaleLength(design.top(), scale);
    const int right = ScaleLength(design.left() + design.width(), scale);
    const int bottom = ScaleLength(design.top() + design.height(), scale);
    return QRect(left, top, right - left, bottom - top);
}

QSize ScaleSizeLimit(const QSize& design, qreal scale) {
    auto one = [scale](int v) {
        return v >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX : ScaleLength(v, scale);
    };
    return QSize(one(design.width()), one(design.height()));
}

QRect DesignGeometry(QWidget* widget) {
    return Design<QRect>(widget, kDesignGeometry, [widget] { return widget->geometry(); });
}

void ScaleWidgetTree(QWidget* root, qreal scale, bool placeRoot) {
    if (root == nullptr || !(scale > 0)) return;
    ScaleOne(root, scale, placeRoot);
    // A control that scales its own children (a device picture) fits them to its room.
    if (const auto* control = qobject_cast<const CControlUI*>(root);
        control != nullptr && control->ScalesChildren()) {
        return;
    }
    const QList<QWidget*> children = root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow()) continue;  // dialogs scale themselves
        ScaleWidgetTree(child, scale, true);
    }
}

QString ScaleStyleSheet(const QString& sheet, qreal scale) {
    static const QRegularExpression length(QStringLiteral("(\\d+(?:\\.\\d+)?)px"));
    QString out;
    out.reserve(sheet.size());
    qsizetype last = 0;
    for (auto it = length.globalMatch(sheet); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += sheet.mid(last, match.capturedStart() - last);
        const double value = match.captured(1).toDouble() * scale;
        // A hair line stays at least one pixel; lengths are whole pixels.
        const long pixels = value > 0 ? std::max(1L, std::lround(value)) : 0;
        out += QString::number(pixels) + QStringLiteral("px");
        last = match.capturedEnd();
    }
    out += sheet.mid(last);
    return out;
}

}  // namespace rerov::ui
