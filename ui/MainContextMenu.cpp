#include "ui/MainContextMenu.h"

#include <QAction>
#include <QPoint>
#include <QString>

MainContextMenu::MainContextMenu(QWidget& window, const QString& progressItem, const std::function<void()>& onProgress,
                                 const std::function<void()>& onSoftOnset)
    : AccessibleMenu(&window) {
    setObjectName("contextMenu");
    setAccessibleName(QStringLiteral("Menu de Zelbin"));
    QAction* progress = addAction(progressItem);
    progress->setObjectName("progressAction");
    connect(progress, &QAction::triggered, &window, onProgress);
    softOnsetAction = addAction(QString::fromUtf8(kSoftOnsetItem));
    softOnsetAction->setObjectName("softOnsetAction");
    softOnsetAction->setCheckable(true);
    connect(softOnsetAction, &QAction::triggered, &window, onSoftOnset);
}

void MainContextMenu::AddWindowItem(const QString& text, const char* objectName,
                                    const std::function<void()>& onChosen) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(objectName));
    connect(action, &QAction::triggered, parentWidget(), onChosen);
    insertAction(softOnsetAction, action);
}

void MainContextMenu::PopupAt(const QPoint& globalPos, bool softOnsetOn, bool byKeyboard) {
    SetSoftOnsetChecked(softOnsetOn);
    popup(globalPos);
    if (byKeyboard && !actions().isEmpty()) {
        setActiveAction(actions().first());
    }
}

void MainContextMenu::SetSoftOnsetChecked(bool on) {
    softOnsetAction->setChecked(on);
}
