#pragma once

#include <QString>

#include <optional>

class FileDialogSeam;
class MessageSeam;
class QWidget;

// The choice of the file to dictate: the open-file dialog over parent, then a check that the
// path is an ordinary file. A folder, a FIFO or a device is refused with a message and no path.
class DictationFileChooser {
public:
    static constexpr const char* kNotAFile = "Impossible de dicter « %1 » : ce n'est pas un fichier ordinaire.";

    // The chosen path, or nothing when the user cancelled or chose no ordinary file.
    static std::optional<QString> Choose(QWidget* parent, FileDialogSeam& fileDialog, MessageSeam& messages);
};
