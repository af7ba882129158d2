#include "ui/ValueFieldAccessible.h"

#include "ui/ValueField.h"

ValueFieldAccessible::ValueFieldAccessible(ValueField* field) : ReadOnlyTextAccessible(field, QAccessible::SpinBox) {}

QString ValueFieldAccessible::Text() const {
    return Field().text();
}

const ValueField& ValueFieldAccessible::Field() const {
    return *static_cast<const ValueField*>(widget());
}

QAccessible::State ValueFieldAccessible::state() const {
    QAccessible::State state = ReadOnlyTextAccessible::state();
    state.readOnly = true;
    state.editable = false;
    return state;
}

void* ValueFieldAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return ReadOnlyTextAccessible::interface_cast(type);
}

QVariant ValueFieldAccessible::currentValue() const {
    return Field().Value();
}

QVariant ValueFieldAccessible::maximumValue() const {
    return Field().Highest();
}

QVariant ValueFieldAccessible::minimumValue() const {
    return Field().Lowest();
}

QVariant ValueFieldAccessible::minimumStepSize() const {
    return Field().Step();
}

QAccessibleInterface* ValueFieldAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("ValueField") && object != nullptr && object->isWidgetType()) {
        return new ValueFieldAccessible(static_cast<ValueField*>(object));
    }
    return nullptr;
}
