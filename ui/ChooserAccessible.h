#pragma once

#include "ui/ReadOnlyTextAccessible.h"

class Chooser;

// What assistive technologies see of a Chooser: a combo box named by its name, whose text is
// the value chosen, with the list of values as its one child.
class ChooserAccessible : public ReadOnlyTextAccessible {
public:
    explicit ChooserAccessible(Chooser* chooser);

    QString Text() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    // The factory Qt asks for the interface of each object; installed once by Chooser.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    const Chooser& Choice() const;
};
