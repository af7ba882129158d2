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
