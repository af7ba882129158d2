#include "ui/LinkLabelAccessible.h"

#include "ui/LinkLabel.h"

LinkLabelAccessible::LinkLabelAccessible(LinkLabel* link) : QAccessibleWidget(link, QAccessible::Link) {}

QString LinkLabelAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        return static_cast<const LinkLabel*>(widget())->text();
    }
    return QAccessibleWidget::text(t);
}

QStringList LinkLabelAccessible::actionNames() const {
    return {QAccessibleActionInterface::pressAction()};
}

void LinkLabelAccessible::doAction(const QString& actionName) {
    if (actionName == QAccessibleActionInterface::pressAction()) {
        static_cast<LinkLabel*>(widget())->Open();
    }
}

QAccessibleInterface* LinkLabelAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("LinkLabel") && object != nullptr && object->isWidgetType()) {
        return new LinkLabelAccessible(static_cast<LinkLabel*>(object));
    }
    return nullptr;
}
