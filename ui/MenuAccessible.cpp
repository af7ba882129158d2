#include "ui/MenuAccessible.h"

#include "ui/AccessibleMenu.h"
#include "ui/MenuItemAccessible.h"

#include <QAction>

MenuAccessible::MenuAccessible(QMenu* menu) : QAccessibleWidget(menu, QAccessible::PopupMenu) {}

QMenu& MenuAccessible::Menu() const {
    return *static_cast<QMenu*>(widget());
}

int MenuAccessible::childCount() const {
    return static_cast<int>(Menu().actions().size());
}

QAccessibleInterface* MenuAccessible::child(int index) const {
    const QList<QAction*> actions = Menu().actions();
    if (index < 0 || index >= actions.size()) {
        return nullptr;
    }
    return QAccessible::queryAccessibleInterface(actions.at(index));
}

int MenuAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    return static_cast<int>(Menu().actions().indexOf(qobject_cast<QAction*>(child->object())));
}

QAccessibleInterface* MenuAccessible::childAt(int x, int y) const {
    QAction* action = Menu().actionAt(Menu().mapFromGlobal(QPoint(x, y)));
    return action != nullptr ? QAccessible::queryAccessibleInterface(action) : nullptr;
}

QAccessibleInterface* MenuAccessible::Factory(const QString& className, QObject* object) {
    if (object == nullptr) {
        return nullptr;
    }
    if (className == QLatin1String("AccessibleMenu")) {
        return new MenuAccessible(static_cast<QMenu*>(object));
    }
    if (className == QLatin1String("QAction")) {
        auto* action = static_cast<QAction*>(object);
        for (QObject* holder : action->associatedObjects()) {
            if (auto* menu = qobject_cast<AccessibleMenu*>(holder)) {
                return new MenuItemAccessible(action, menu);
            }
        }
    }
    return nullptr;
}
