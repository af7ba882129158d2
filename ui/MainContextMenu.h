#pragma once

#include "ui/AccessibleMenu.h"

#include <functional>

class QAction;
class QPoint;
class QString;

// The context menu of the main window's background (the controls leave a right-click to the
// window): "Progrès..." first, then the items of the other windows ("Copie...", "Manipulation...",
// "Conditions de bande..."), then "Attaque douce", checkable, which shows the setting in force
// each time the menu opens, and which screen readers hear as checked or not checked. A child of
// the window; each item calls the window's handler.
class MainContextMenu : public AccessibleMenu {
    Q_OBJECT

public:
    static constexpr const char* kSoftOnsetItem = "Attaque douce";

    MainContextMenu(QWidget& window, const QString& progressItem, const std::function<void()>& onProgress,
                    const std::function<void()>& onSoftOnset);

    // Adds an item that opens a window, after those added before it and above "Attaque douce".
    void AddWindowItem(const QString& text, const char* objectName, const std::function<void()>& onChosen);

    // Opens the menu at globalPos, "Attaque douce" checked when the soft onset is on. Opened
    // from the keyboard (the Menu key, Shift+F10), it opens with its first item selected, so
    // that Down, Up and Return work at once and a screen reader says where the focus is.
    void PopupAt(const QPoint& globalPos, bool softOnsetOn, bool byKeyboard = false);
    void SetSoftOnsetChecked(bool on);

private:
    QAction* softOnsetAction = nullptr;
};
