#include "ui/DictationFileChooser.h"

#include "practice/FileDictation.h"
#include "ui/seams/FileDialogSeam.h"
#include "ui/seams/MessageSeam.h"

std::optional<QString> DictationFileChooser::Choose(QWidget* parent, FileDialogSeam& fileDialog,
                                                    MessageSeam& messages) {
    const std::optional<QString> chosen = fileDialog.GetOpenPath(parent);
    if (chosen && FileDictation::IsNotAFile(FileDialogSeam::ToFilesystemPath(*chosen))) {
        messages.Show(QString::fromUtf8(kNotAFile).arg(*chosen)); // a folder, a FIFO, a device
        return std::nullopt;
    }
    return chosen;
}
