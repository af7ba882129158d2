#pragma once

#include <QAccessibleWidget>

class LinkLabel;

// What assistive technologies see of a LinkLabel: a link (not a plain label), named by its
// accessible name, else by its text, whose one action, "press", opens it as a click does.
class LinkLabelAccessible : public QAccessibleWidget {
public:
    explicit LinkLabelAccessible(LinkLabel* link);

    QString text(QAccessible::Text t) const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

    // The factory Qt asks for the interface of each object; installed once by LinkLabel.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);
};
