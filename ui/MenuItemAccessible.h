#pragma once

#include "ui/LeafAccessible.h"

#include <QAccessibleActionInterface>
#include <QPointer>

class QAction;
class QMenu;

// One item of an AccessibleMenu: a menu item, or a check box when it is checkable, named by its
// text without the mnemonic's "&". Its one action triggers it (toggles a check box), as Return
// does, and closes the menu.
class MenuItemAccessible : public LeafAccessible, public QAccessibleActionInterface {
public:
    MenuItemAccessible(QAction* action, QMenu* menu);

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QAction> action;
    QPointer<QMenu> menu;
};
