#pragma once

#include <QAccessibleWidget>

class QAction;
class QMenu;

// What assistive technologies see of an AccessibleMenu: a popup menu whose children are its
// actions, each a MenuItemAccessible.
class MenuAccessible : public QAccessibleWidget {
public:
    explicit MenuAccessible(QMenu* menu);

    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    // The factory Qt asks for the interface of each object: AccessibleMenus and their actions.
    static QAccessibleInterface* Factory(const QString& className, QObject* object);

private:
    QMenu& Menu() const;
};
