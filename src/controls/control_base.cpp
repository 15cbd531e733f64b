#include "controls/control_base.h"

#include <QLayout>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>

#include "controls/control_timers.h"
#include "controls/language_texts.h"
#include "controls/render_engine.h"

namespace rerov::ui {
namespace {

int ParseAlign(const QString& value, int current) {
    int horizontal = current & Qt::AlignHorizontal_Mask;
    int vertical = current & Qt::AlignVertical_Mask;
    for (const QString& part : value.split(u',')) {
        const QString p = part.trimmed();
        if (p == QLatin1String("left")) horizontal = Qt::AlignLeft;
        if (p == QLatin1String("right")) horizontal = Qt::AlignRight;
        if (p == QLatin1String("center")) horizontal = Qt::AlignHCenter;
        if (p == QLatin1String("top")) vertical = Qt::AlignTop;
        if (p == QLatin1String("bottom")) vertical = Qt::AlignBottom;
        if (p == QLatin1String("vcenter")) vertical = Qt::AlignVCenter;
    }
    return horizontal | vertical;
}

bool ParseBool(const QString& v) { return v == QLatin1String("true") || v == QLatin1String("1"); }

}  // namespace

CControlUI::CControlUI(QWidget* parent) : QWidget(parent), font_(render::FontForIndex(-1)) {}

bool CControlUI::SetAttribute(const QString& name, const QString& value) {
    quint32 colour = 0;
    QRect rect;
    QString key;
    if (name == QLatin1String("name")) {
        setObjectName(value);
    } else if (name == QLatin1String("text")) {
        if (LanguageTexts::IsKeyReference(value, &key)) {
            LanguageTexts::BindText(this, "text", key);
        } else {
            SetText(value);
        }
    } else if (name == QLatin1String("tooltip")) {
        if (LanguageTexts::IsKeyReference(value, &key)) {
            LanguageTexts::BindText(this, "toolTip", key);
        } else {
            setToolTip(value);
        }
    } else if (name == QLatin1String("userdata")) {
        userData_ = value;
    } else if (name == QLatin1String("bkcolor") && render::ParseColor(value, &colour)) {
        SetBkColor(colour);
    } else if (name == QLatin1String("forecolor") && render::ParseColor(value, &colour)) {
        SetForeColor(colour);
    } else if (name == QLatin1String("bordercolor") && render::ParseColor(value, &colour)) {
        borderColor_ = colour;
    } else if (name == QLatin1String("textcolor") && render::ParseColor(value, &colour)) {
        textColor_ = colour;
    } else if (name == QLatin1String("disabledtextcolor") && render::ParseColor(value, &colour)) {
        disabledTextColor_ = colour;
    } else if (name == QLatin1String("bordersize")) {
        borderSize_ = value.toInt();
    } else if (name == QLatin1String("bkimage")) {
        SetBkImage(value);
    } else if (name == QLatin1String("bkfit")) {
        bkCover_ = value == QLatin1String("cover");
    } else if (name == QLatin1String("foreimage")) {
        foreImage_ = value;
    } else if (name == QLatin1String("align")) {
        textAlign_ = ParseAlign(value, textAlign_);
    } else if (name == QLatin1String("font")) {
        fontIndex_ = value.toInt();
        font_ = render::FontForIndex(fontIndex_, fontScale_);
    } else if (name == QLatin1String("visible")) {
        setVisible(ParseBool(value));
    } else if (name == QLatin1String("enabled")) {
        setEnabled(ParseBool(value));
    } else if (name == QLatin1String("width")) {
        setFixedWidth(value.toInt());
    } else if (name == QLatin1String("height")) {
        setFixedHeight(value.toInt());
    } else if (name == QLatin1String("pos") && render::ParseRectEdges(value, &rect)) {
        setGeometry(rect);
    } else if (name == QLatin1String("menu")) {
        contextMenu_ = ParseBool(value);
    } else if (name == QLatin1String("virtualwnd")) {
        setProperty("virtualwnd", value);
    } else {
        return false;
    }
    update();
    return true;
}

void CControlUI::SetText(const QString& text) {
    if (text_ == text) return;
    text_ = text;
    update();
}

void CControlUI::SetFontScale(qreal scale) {
    if (!(scale > 0) || scale == fontScale_) return;
    fontScale_ = scale;
    font_ = render::FontForIndex(fontIndex_, fontScale_);
    update();
}

void CControlUI::RefreshFont() {
    font_ = render::FontForIndex(fontIndex_, fontScale_);
    updateGeometry();
    update();
}

void CControlUI::SetBkColor(quint32 argb) {
    bkColor_ = argb;
    update();
}

void CControlUI::SetForeColor(quint32 argb) {
    foreColor_ = argb;
    update();
}

void CControlUI::SetBkImage(const QString& image) {
    bkImage_ = image;
    update();
}

void CControlUI::SetTextColor(quint32 argb) {
    textColor_ = argb;
    update();
}

void CControlUI::Init() {
    if (inited_) return;
    inited_ = true;
    DoInit();
}

// Visible as the control itself says: a window that is not on screen yet still activates.
bool CControlUI::Activate() { return isEnabled() && isVisibleTo(window()); }

void CControlUI::DoPaint(QPainter& painter, const QRect& paint) {
    PaintBkColor(painter, paint);
    PaintBkImage(painter, paint);
    PaintStatusImage(painter, paint);
    PaintForeColor(painter, paint);
    PaintForeImage(painter, paint);
    PaintText(painter, paint);
    PaintBorder(painter, paint);
}

void CControlUI::PaintBkColor(QPainter& painter, const QRect&) {
    render::DrawColor(painter, rect(), GetAdjustColor(bkColor_));
}

void CControlUI::PaintBkImage(QPainter& painter, const QRect& paint) {
    if (bkImage_.isEmpty()) return;
    if (bkCover_) {
        render::DrawImageCover(painter, rect(), paint, bkImage_);
    } else {
        render::DrawImageString(painter, rect(), paint, bkImage_);
    }
}

void CControlUI::PaintStatusImage(QPainter&, const QRect&) {}
void CControlUI::PaintForeColor(QPainter&, const QRect&) {}

void CControlUI::PaintForeImage(QPainter& painter, const QRect& paint) {
    if (!foreImage_.isEmpty()) render::DrawImageString(painter, rect(), paint, foreImage_);
}

void CControlUI::PaintText(QPainter&, const QRect&) {}

void CControlUI::PaintBorder(QPainter& painter, const QRect&) {
    render::DrawRect(painter, rect(), borderSize_, borderColor_);
}

void CControlUI::OnControlTimer(int) {}

void CControlUI::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    DoPaint(painter, event->rect());
}

bool CControlUI::event(QEvent* event) {
    if (event->type() == ControlTimerEvent::EventType()) {
        OnControlTimer(static_cast<ControlTimerEvent*>(event)->TimerId());
        return true;
    }
    if (event->type() == QEvent::Polish) Init();
    return QWidget::event(event);
}

void CLabelUI::PaintText(QPainter& painter, const QRect&) {
    render::DrawText(painter, rect().adjusted(4, 0, -4, 0), text_,
                     isEnabled() ? textColor_ : disabledTextColor_, font_, textAlign_);
}

void CContainerUI::Add(QWidget* child) {
    if (child == nullptr) return;
    if (QLayout* lay = layout()) {
        lay->addWidget(child);
    } else {
        child->setParent(this);
    }
    child->show();
}

void CContainerUI::AddFloat(QWidget* child, const QRect& rect) {
    if (child == nullptr) return;
    child->setParent(this);
    child->setGeometry(rect);
    child->show();
}

void CContainerUI::RemoveAll() {
    const QList<QWidget*> children = Items();
    for (QWidget* child : children) delete child;
}

QList<QWidget*> CContainerUI::Items() const {
    return findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
}

void CVerticalLayoutUI::Add(QWidget* child) {
    if (layout() == nullptr) {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(0, 0, 0, 0);
        box->setSpacing(0);
    }
    CContainerUI::Add(child);
}

void ApplyDynamicAttributes(QWidget* root) {
    QList<CControlUI*> controls = root->findChildren<CControlUI*>();
    if (auto* self = qobject_cast<CControlUI*>(root)) controls.prepend(self);
    for (CControlUI* control : controls) {
        for (const QByteArray& name : control->dynamicPropertyNames()) {
            if (name.startsWith('_')) continue;
            QString attribute = QString::fromUtf8(name);
            if (attribute.startsWith(QLatin1String(kShadowedAttributePrefix))) {
                attribute.remove(0, int(qstrlen(kShadowedAttributePrefix)));
            }
            control->SetAttribute(attribute, control->property(name).toString());
        }
    }
}

}  // namespace rerov::ui
