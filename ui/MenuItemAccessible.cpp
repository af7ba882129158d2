#include "ui/MenuItemAccessible.h"

#include <QAction>
#include <QMenu>
#include <QWindow>

MenuItemAccessible::MenuItemAccessible(QAction* action, QMenu* menu) : action(action), menu(menu) {}

bool MenuItemAccessible::isValid() const {
    return action != nullptr && menu != nullptr;
}

QObject* MenuItemAccessible::object() const {
    return action;
}

QWindow* MenuItemAccessible::window() const {
    return menu != nullptr ? menu->windowHandle() : nullptr;
}

QAccessibleInterface* MenuItemAccessible::parent() const {
    return menu != nullptr ? QAccessible::queryAccessibleInterface(menu) : nullptr;
}

QString MenuItemAccessible::text(QAccessible::Text t) const {
    if (!isValid()) {
        return {};
    }
    if (t == QAccessible::Name) {
        const QString shown = action->text();
        QString name;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            if (shown[i] == u'&' && i + 1 < shown.size()) {
                ++i; // "&x" is x with its mnemonic, "&&" one "&"
            }
            name.append(shown[i]);
        }
        return name;
    }
    if (t == QAccessible::Accelerator) {
        return action->shortcut().toString(QKeySequence::NativeText);
    }
    return {};
}

QRect MenuItemAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    const QRect inMenu = menu->actionGeometry(action);
    return QRect(menu->mapToGlobal(inMenu.topLeft()), inMenu.size());
}

QAccessible::Role MenuItemAccessible::role() const {
    if (action != nullptr && action->isSeparator()) {
        return QAccessible::Separator;
    }
    return action != nullptr && action->isCheckable() ? QAccessible::CheckBox : QAccessible::MenuItem;
}

QAccessible::State MenuItemAccessible::state() const {
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    state.checkable = action->isCheckable();
    state.checked = action->isChecked();
    state.focusable = !action->isSeparator();
    state.focused = menu->isVisible() && menu->activeAction() == action;
    state.selected = state.focused;
    state.disabled = !action->isEnabled();
    state.invisible = !menu->isVisible() || !action->isVisible();
    return state;
}

void* MenuItemAccessible::interface_cast(QAccessible::InterfaceType type) {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList MenuItemAccessible::actionNames() const {
    if (!isValid() || action->isSeparator()) {
        return {};
    }
    return {action->isCheckable() ? toggleAction() : pressAction()};
}

void MenuItemAccessible::doAction(const QString& actionName) {
    if (!isValid() || !action->isEnabled() || !actionNames().contains(actionName)) {
        return;
    }
    menu->hide();
    action->trigger();
}
