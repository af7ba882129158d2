#include "ui/AnnouncedLabelAccessible.h"

#include "ui/AnnouncedLabel.h"

AnnouncedLabelAccessible::AnnouncedLabelAccessible(AnnouncedLabel* label)
    : QAccessibleWidget(label, QAccessible::StaticText) {}

const AnnouncedLabel& AnnouncedLabelAccessible::Label() const {
    return *static_cast<const AnnouncedLabel*>(widget());
}

QString AnnouncedLabelAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return Label().text();
    }
    return QAccessibleWidget::text(t);
}

void* AnnouncedLabelAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QVariant AnnouncedLabelAccessible::currentValue() const {
    return Label().Value();
}

void AnnouncedLabelAccessible::setCurrentValue(const QVariant&) {}

QVariant AnnouncedLabelAccessible::maximumValue() const {
    return Label().Maximum();
}

QVariant AnnouncedLabelAccessible::minimumValue() const {
    return 0;
}

QVariant AnnouncedLabelAccessible::minimumStepSize() const {
    return 1;
}

QAccessibleInterface* AnnouncedLabelAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("AnnouncedLabel") && object != nullptr && object->isWidgetType()) {
        return new AnnouncedLabelAccessible(static_cast<AnnouncedLabel*>(object));
    }
    return nullptr;
}
