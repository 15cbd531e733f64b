#include "controls/popup_menu.h"

#include <QFile>
#include <QMenu>
#include <QXmlStreamReader>

#include "controls/language_texts.h"
#include "controls/resource_index.h"

namespace rerov::ui {
namespace {

QString ItemText(const QXmlStreamAttributes& attributes) {
    const QString text = attributes.value(QLatin1String("text")).toString();
    QString key;
    return LanguageTexts::IsKeyReference(text, &key) ? Tr(key) : text;
}

// Reads the children of one <Menu> element into `menu`.
bool ReadItems(QXmlStreamReader& reader, QMenu* menu, PopupMenu* owner) {
    while (reader.readNextStartElement()) {
        const auto tag = reader.name();
        if (tag == QLatin1String("MenuElement")) {
            const QString name = reader.attributes().value(QLatin1String("name")).toString();
            QAction* action = menu->addAction(ItemText(reader.attributes()));
            action->setObjectName(name);
            action->setEnabled(reader.attributes().value(QLatin1String("enabled")) !=
                               QLatin1String("false"));
            QObject::connect(action, &QAction::triggered, owner,
                             [owner, name] { emit owner->itemClicked(name); });
            reader.skipCurrentElement();
        } else if (tag == QLatin1String("Separator")) {
            menu->addSeparator();
            reader.skipCurrentElement();
        } else if (tag == QLatin1String("Menu")) {
            QMenu* sub = menu->addMenu(ItemText(reader.attributes()));
            if (!ReadItems(reader, sub, owner)) return false;
        } else {
            reader.skipCurrentElement();
        }
    }
    return !reader.hasError();
}

}  // namespace

QPoint AlignedMenuPosition(const QPoint& point, const QSize& size, int alignment) {
    QPoint topLeft = point;
    if ((alignment & kMenuRight) != 0 && (alignment & kMenuLeft) == 0) {
        topLeft.rx() -= size.width();
    }
    if ((alignment & kMenuBottom) != 0 && (alignment & kMenuTop) == 0) {
        topLeft.ry() -= size.height();
    }
    return topLeft;
}

PopupMenu::PopupMenu(QObject* parent) : QObject(parent) {}

PopupMenu::~PopupMenu() { delete menu_; }

bool PopupMenu::Load(const QString& file) {
    QFile f(ResourceIndex::Instance().SkinPath(file));
    if (!f.open(QIODevice::ReadOnly)) return false;
    return LoadFromData(f.readAll());
}

bool PopupMenu::LoadFromData(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement() || reader.name() != QLatin1String("Menu")) return false;
    auto* menu = new QMenu();
    menu->setObjectName(QStringLiteral("popup_menu"));
    if (!ReadItems(reader, menu, this)) {
        delete menu;
        return false;
    }
    delete menu_;
    menu_ = menu;
    return true;
}

void PopupMenu::Popup(const QPoint& point, int alignment) {
    if (!menu_) return;
    menu_->popup(AlignedMenuPosition(point, menu_->sizeHint(), alignment));
}

void PopupMenu::Close() {
    if (menu_) menu_->close();
}

}  // namespace rerov::ui
