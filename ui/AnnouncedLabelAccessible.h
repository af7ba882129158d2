#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

class AnnouncedLabel;

// What assistive technologies see of an AnnouncedLabel: a static text named by its text, with
// a read-only value (the score) from 0 to its maximum (the total), so that a change of the
// value reaches them as one.
class AnnouncedLabelAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AnnouncedLabelAccessible(AnnouncedLabel* label);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override; // read-only: does nothing
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    // The factory Qt asks for the interface of each object; installed once by AnnouncedLabel.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    const AnnouncedLabel& Label() const;
};
