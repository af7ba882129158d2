#pragma once

#include <QMenu>

#include <functional>

class QAction;
class QPoint;
class QString;

// The context menu of the main window's background (the controls leave a right-click to the
// window): "Progrès..." first, the items inserted after it, then "Attaque douce", checkable, which shows the setting in
// force each time the menu opens. A child of the window; each item calls the window's handler.
class MainContextMenu : public QMenu {
    Q_OBJECT

public:
    static constexpr const char* kSoftOnsetItem = "Attaque douce";

    MainContextMenu(QWidget& window, const QString& progressItem, const std::function<void()>& onProgress,
                    const std::function<void()>& onSoftOnset);

    // Opens the menu at globalPos, "Attaque douce" checked when the soft onset is on.
    void PopupAt(const QPoint& globalPos, bool softOnsetOn);
    void SetSoftOnsetChecked(bool on);
    // Adds an item that opens a window, after the others of its kind and before "Attaque douce".
    QAction* InsertItem(const QString& text, const char* objectName, const std::function<void()>& onTrigger);

private:
    QAction* softOnsetAction = nullptr;
};
