#include "ui/MainContextMenu.h"

#include <QAction>
#include <QPoint>
#include <QString>

MainContextMenu::MainContextMenu(QWidget& window, const QString& progressItem, const std::function<void()>& onProgress,
                                 const std::function<void()>& onSoftOnset)
    : QMenu(&window) {
    setObjectName("contextMenu");
    QAction* progress = addAction(progressItem);
    progress->setObjectName("progressAction");
    connect(progress, &QAction::triggered, &window, onProgress);
    softOnsetAction = addAction(QString::fromUtf8(kSoftOnsetItem));
    softOnsetAction->setObjectName("softOnsetAction");
    softOnsetAction->setCheckable(true);
    connect(softOnsetAction, &QAction::triggered, &window, onSoftOnset);
}

QAction* MainContextMenu::AddItem(const QString& text, const char* objectName,
                                  const std::function<void()>& onTriggered) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(objectName));
    insertAction(softOnsetAction, action);
    connect(action, &QAction::triggered, parentWidget(), onTriggered);
    return action;
}

void MainContextMenu::PopupAt(const QPoint& globalPos, bool softOnsetOn) {
    SetSoftOnsetChecked(softOnsetOn);
    popup(globalPos);
}

void MainContextMenu::SetSoftOnsetChecked(bool on) {
    softOnsetAction->setChecked(on);
}
