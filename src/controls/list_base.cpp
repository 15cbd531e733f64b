#include "controls/list_base.h"

#include <QLayout>
#include <QMouseEvent>

#include "controls/notification.h"
#include "controls/render_engine.h"

namespace rerov::ui {

bool CListUI::SetAttribute(const QString& name, const QString& value) {
    struct ColourAttr {
        const char* name;
        quint32 ListItemInfo::*field;
    };
    static constexpr ColourAttr kColours[] = {
        {"itemtextcolor", &ListItemInfo::textColor},
        {"itembkcolor", &ListItemInfo::bkColor},
        {"itemhottextcolor", &ListItemInfo::hotTextColor},
        {"itemhotbkcolor", &ListItemInfo::hotBkColor},
        {"itemselectedtextcolor", &ListItemInfo::selectedTextColor},
        {"itemselectedbkcolor", &ListItemInfo::selectedBkColor},
        {"itemlinecolor", &ListItemInfo::lineColor},
    };
    for (const ColourAttr& attr : kColours) {
        if (name == QLatin1String(attr.name)) {
            quint32 colour = 0;
            if (render::ParseColor(value, &colour)) info_.*attr.field = colour;
            update();
            return true;
        }
    }
    if (name == QLatin1String("itemhotimage")) {
        info_.hotImage = value;
    } else if (name == QLatin1String("itemselectedimage")) {
        info_.selectedImage = value;
    } else if (name == QLatin1String("multiselect")) {
        multiSelect_ = value == QLatin1String("true");
    } else {
        return CVerticalLayoutUI::SetAttribute(name, value);
    }
    return true;
}

QList<CListContainerElementUI*> CListUI::Elements() const {
    QList<CListContainerElementUI*> rows;
    if (const QLayout* lay = layout()) {
        for (int i = 0; i < lay->count(); ++i) {
            if (auto* row = qobject_cast<CListContainerElementUI*>(lay->itemAt(i)->widget())) {
                rows.append(row);
            }
        }
        return rows;
    }
    for (QObject* child : children()) {
        if (auto* row = qobject_cast<CListContainerElementUI*>(child)) rows.append(row);
    }
    return rows;
}

int CListUI::IndexOf(const CListContainerElementUI* element) const {
    return static_cast<int>(Elements().indexOf(const_cast<CListContainerElementUI*>(element)));
}

int CListUI::GetCurSel() const {
    const auto rows = Elements();
    for (int i = 0; i < rows.size(); ++i) {
        if (rows[i]->IsSelected()) return i;
    }
    return -1;
}

bool CListUI::SelectItem(int index, bool notify) {
    const auto rows = Elements();
    if (index < 0 || index >= rows.size()) return false;
    const int previous = GetCurSel();
    bool changed = false;
    for (int i = 0; i < rows.size(); ++i) {
        const bool want = i == index;
        if (rows[i]->IsSelected() != want) changed = true;
        rows[i]->SetSelectedState(want);
    }
    if (changed && notify) SendNotify(this, QStringLiteral("itemselect"), index, previous);
    return true;
}

bool CListUI::SelectMultiItem(int index, bool select, bool notify) {
    const auto rows = Elements();
    if (index < 0 || index >= rows.size()) return false;
    if (!multiSelect_ && select) return SelectItem(index, notify);
    if (rows[index]->IsSelected() == select) return true;
    const int previous = GetCurSel();
    rows[index]->SetSelectedState(select);
    if (notify) SendNotify(this, QStringLiteral("itemselect"), index, previous);
    return true;
}

void CListUI::ClearSelection() {
    for (CListContainerElementUI* row : Elements()) row->SetSelectedState(false);
}

CListContainerElementUI::CListContainerElementUI(QWidget* parent) : CContainerUI(parent) {
    setFocusPolicy(Qt::ClickFocus);
}

bool CListContainerElementUI::SetAttribute(const QString& name, const QString& value) {
    if (name == QLatin1String("selected")) {
        Select(value == QLatin1String("true"), false);
        return true;
    }
    return CContainerUI::SetAttribute(name, value);
}

CListUI* CListContainerElementUI::GetOwner() const {
    for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* list = qobject_cast<CListUI*>(w)) return list;
    }
    return nullptr;
}

int CListContainerElementUI::GetIndex() const {
    const CListUI* owner = GetOwner();
    return owner ? owner->IndexOf(this) : -1;
}

bool CListContainerElementUI::Select(bool select, bool notify) {
    if (!isEnabled()) return false;
    CListUI* owner = GetOwner();
    if (owner != nullptr && select) return owner->SelectItem(GetIndex(), notify);
    SetSelectedState(select);
    return true;
}

bool CListContainerElementUI::SelectMulti(bool select) {
    if (!isEnabled()) return false;
    CListUI* owner = GetOwner();
    if (owner != nullptr) return owner->SelectMultiItem(GetIndex(), select);
    SetSelectedState(select);
    return true;
}

void CListContainerElementUI::SetSelectedState(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void CListContainerElementUI::mousePressEvent(QMouseEvent* event) {
    if (!mouseEnabled_ || !isEnabled() || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    Select();
}

void CListContainerElementUI::DoPaint(QPainter& painter, const QRect& paint) {
    DrawItemBk(painter, paint);
    CContainerUI::DoPaint(painter, paint);
}

void CListContainerElementUI::DrawItemBk(QPainter& painter, const QRect& paint) {
    const CListUI* owner = GetOwner();
    const ListItemInfo info = owner ? owner->GetListInfo() : ListItemInfo{};
    if (selected_) {
        render::DrawColor(painter, rect(), info.selectedBkColor);
        if (!info.selectedImage.isEmpty()) {
            render::DrawImageString(painter, rect(), paint, info.selectedImage);
        }
    } else if (hot_) {
        render::DrawColor(painter, rect(), info.hotBkColor);
        if (!info.hotImage.isEmpty())
            render::DrawImageString(painter, rect(), paint, info.hotImage);
    } else {
        render::DrawColor(painter, rect(), info.bkColor);
    }
    if ((info.lineColor >> 24) != 0) {
        render::DrawColor(painter, QRect(0, height() - 1, width(), 1), info.lineColor);
    }
}

}  // namespace rerov::ui
