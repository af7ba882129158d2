#include "ui/seams/QtFileDialogSeam.h"

#include "ui/KeyboardOwner.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

std::optional<QString> QtFileDialogSeam::GetOpenPath(QWidget* parent) {
    QFileDialog dialog(parent);
    Configure(dialog);
    const int result = dialog.exec();
    KeyboardOwner::Reclaim(parent);
    if (result != QDialog::Accepted) {
        return std::nullopt;
    }
    return PathForSelection(dialog.selectedFiles());
}

void QtFileDialogSeam::Configure(QFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    const QString textFilter = QStringLiteral("Fichier texte (*.txt)");
    dialog.setNameFilters({textFilter, QStringLiteral("Tous les fichiers (*.*)")});
    dialog.selectNameFilter(textFilter);
    // Qt's dialog has no "open as read-only" box to hide; ReadOnly would instead forbid
    // renaming and creating folders, which the dialog allows, so it stays off.
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setSizeGripEnabled(true);
}

QString QtFileDialogSeam::PathForSelection(const QStringList& selectedFiles) {
    if (selectedFiles.isEmpty()) {
        return {};
    }
    if (selectedFiles.size() == 1) {
        return QDir::toNativeSeparators(selectedFiles.front());
    }
    return QDir::toNativeSeparators(QFileInfo(selectedFiles.front()).absolutePath());
}
