#pragma once

#include "ui/ReadOnlyTextAccessible.h"

#include <QAccessibleValueInterface>

class ValueField;

// What assistive technologies see of a ValueField: a read-only spin button named by its
// accessible name, with the shown number as its value and the field's range and step, and its
// text, without a selection. (A read-only line edit reports itself both editable and read-only,
// and Tab selects its text, which a screen reader then reads out besides the field.)
class ValueFieldAccessible : public ReadOnlyTextAccessible, public QAccessibleValueInterface {
public:
    explicit ValueFieldAccessible(ValueField* field);

    QString Text() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {} // read-only
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // The factory Qt asks for the interface of each object; installed once by ValueField.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    const ValueField& Field() const;
};
