#include "ui/AccessibleMenu.h"

#include "ui/MenuAccessible.h"

#include <QAccessible>

AccessibleMenu::AccessibleMenu(QWidget* parent) : QMenu(parent) {
    // Before any interface of such a menu or its items is asked for.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(&MenuAccessible::Factory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}
