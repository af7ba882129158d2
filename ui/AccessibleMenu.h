#pragma once

#include <QMenu>

// A menu whose items screen readers hear as they are: a checkable item ("Attaque douce") is a
// check box inside the menu, said to be checked or not checked, where Qt shows it as a plain
// menu item that a screen reader calls "checked" or nothing at all. Its interfaces are
// MenuAccessible and MenuItemAccessible.
class AccessibleMenu : public QMenu {
    Q_OBJECT

public:
    explicit AccessibleMenu(QWidget* parent = nullptr);
};
