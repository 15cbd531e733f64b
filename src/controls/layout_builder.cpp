#include "controls/layout_builder.h"

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QTabWidget>
#include <QUiLoader>

#include "controls/control_base.h"
#include "controls/control_factory.h"
#include "controls/language_texts.h"
#include "controls/resource_index.h"

namespace rerov::ui {
namespace {

// Layout attributes whose names QWidget already uses for properties of another type or
// read-only ones ("font" is a QFont, "height" cannot be set): the loader would hand them
// to those properties and drop them, so they are renamed on the way in and handed to
// SetAttribute under their own names by ApplyDynamicAttributes.
constexpr const char* kShadowedAttributes[] = {"font", "width",   "height",  "pos",
                                               "size", "visible", "enabled", "cursor"};

QByteArray RenameShadowedAttributes(const QByteArray& ui) {
    QString text = QString::fromUtf8(ui);
    for (const char* name : kShadowedAttributes) {
        text.replace(QStringLiteral("<property name=\"%1\" stdset=\"0\">").arg(QLatin1String(name)),
                     QStringLiteral("<property name=\"%1%2\" stdset=\"0\">")
                         .arg(QLatin1String(kShadowedAttributePrefix), QLatin1String(name)));
    }
    return text.toUtf8();
}

// Resolves class names through the factory and the window's callback before Qt's own widgets.
class Loader : public QUiLoader {
  public:
    explicit Loader(IDialogBuilderCallback* callback) : callback_(callback) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* widget = ControlFactory::Instance().CreateControl(className);
        if (widget == nullptr && callback_ != nullptr) widget = callback_->CreateControl(className);
        if (widget == nullptr) {
            if (!availableWidgets().contains(className)) return nullptr;
            return QUiLoader::createWidget(className, parent, name);
        }
        widget->setParent(parent);
        widget->setObjectName(name);
        return widget;
    }

  private:
    IDialogBuilderCallback* callback_;
};

constexpr const char* kTextProperties[] = {"text", "toolTip", "title", "placeholderText",
                                           "windowTitle"};

}  // namespace

QWidget* LayoutBuilder::Create(const QString& resource, IDialogBuilderCallback* callback,
                               QWidget* parent) {
    QFile file(ResourceIndex::Instance().LayoutPath(resource));
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot open layout ") + file.fileName();
        return nullptr;
    }
    return CreateFromData(file.readAll(), callback, parent);
}

QWidget* LayoutBuilder::CreateFromData(const QByteArray& ui, IDialogBuilderCallback* callback,
                                       QWidget* parent) {
    error_.clear();
    QByteArray data = RenameShadowedAttributes(ui);
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot read layout data");
        return nullptr;
    }
    Loader loader(callback);
    QWidget* root = loader.load(&buffer, parent);
    if (root == nullptr) {
        error_ = loader.errorString();
        return nullptr;
    }
    ApplyDynamicAttributes(root);
    // Qt's own widgets take the layout's "visible" attribute too.
    const QByteArray visible = QByteArray(kShadowedAttributePrefix) + "visible";
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (qobject_cast<CControlUI*>(widget) == nullptr &&
            widget->property(visible.constData()).toString() == QLatin1String("false")) {
            widget->setVisible(false);
        }
    }
    BindLanguageTexts(root);
    QList<CControlUI*> controls = root->findChildren<CControlUI*>();
    if (auto* self = qobject_cast<CControlUI*>(root)) controls.prepend(self);
    for (CControlUI* control : controls) control->Init();
    return root;
}

void LayoutBuilder::BindLanguageTexts(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    QString key;
    for (QWidget* w : widgets) {
        for (const char* property : kTextProperties) {
            const QVariant value = w->property(property);
            if (value.typeId() == QMetaType::QString &&
                LanguageTexts::IsKeyReference(value.toString(), &key)) {
                LanguageTexts::BindText(w, property, key);
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i) {
                if (LanguageTexts::IsKeyReference(combo->itemText(i), &key)) {
                    LanguageTexts::BindItemText(combo, i, key);
                }
            }
        } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (LanguageTexts::IsKeyReference(tabs->tabText(i), &key)) {
                    LanguageTexts::BindTabText(tabs, i, key);
                }
            }
        }
    }
}

}  // namespace rerov::ui
