#pragma once

#include "ui/seams/FileDialogSeam.h"

#include <QStringList>

class QFileDialog;

// The open-file dialog on QFileDialog: open mode, default suffix "txt", the filters
// "Fichier texte (*.txt)" (selected) and "Tous les fichiers (*.*)", no read-only option
// offered, resizable, several files may be chosen.
class QtFileDialogSeam : public FileDialogSeam {
public:
    std::optional<QString> GetOpenPath(QWidget* parent) override;

    // Gives a dialog the settings above. Kept apart so that tests can check them without
    // running the dialog.
    static void Configure(QFileDialog& dialog);

    // The path that a selection stands for: the file itself, or for several files the
    // folder of the first one. An empty selection gives an empty path.
    static QString PathForSelection(const QStringList& selectedFiles);
};
