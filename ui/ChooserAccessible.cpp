#include "ui/ChooserAccessible.h"

#include "ui/Chooser.h"

#include <QAbstractItemView>

ChooserAccessible::ChooserAccessible(Chooser* chooser) : ReadOnlyTextAccessible(chooser, QAccessible::ComboBox) {}

const Chooser& ChooserAccessible::Choice() const {
    return *static_cast<const Chooser*>(widget());
}

QString ChooserAccessible::Text() const {
    return Choice().currentText();
}

int ChooserAccessible::childCount() const {
    return Choice().view() != nullptr ? 1 : 0;
}

QAccessibleInterface* ChooserAccessible::child(int index) const {
    return index == 0 && Choice().view() != nullptr ? QAccessible::queryAccessibleInterface(Choice().view()) : nullptr;
}

int ChooserAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return child != nullptr && child->object() == Choice().view() ? 0 : -1;
}

QAccessibleInterface* ChooserAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("Chooser") && object != nullptr && object->isWidgetType()) {
        return new ChooserAccessible(static_cast<Chooser*>(object));
    }
    return nullptr;
}
